#error "portable code must not include winbase.h"
