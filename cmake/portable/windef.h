#error "portable code must not include windef.h"
