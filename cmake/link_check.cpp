// Linked with the whole of one layer and nothing but the layers it declares: a call into a layer it
// does not declare leaves an undefined symbol, and the build fails.
int main() { return 0; }
