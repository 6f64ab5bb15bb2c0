#error "portable code must not include winuser.h"
