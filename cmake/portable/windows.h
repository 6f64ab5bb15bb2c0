// Portable libraries put this folder first on their include path: their code must build on every
// platform, so including the platform's header there fails here, on every target.
#error "portable code must not include windows.h: move the Windows part into win/ or saver/app"
