#error "portable code must not include winreg.h"
