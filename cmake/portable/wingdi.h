#error "portable code must not include wingdi.h"
