#include "tools/sim/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "saver/render/soft_canvas.h"

namespace vellora::simtool {

namespace {

struct ErrorSink {
    std::string message;
};

// libpng reports fatal errors here and expects us not to return: back to the setjmp in WritePng.
[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<ErrorSink*>(png_get_error_ptr(png));
    if (sink) sink->message = message ? message : "unknown libpng error";
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

}  // namespace

bool WritePng(const SoftCanvas& canvas, const std::string& path, std::string& error) {
    const auto width = static_cast<png_uint_32>(canvas.Width());
    const auto height = static_cast<png_uint_32>(canvas.Height());
    if (width == 0 || height == 0) {
        error = path + ": an empty picture cannot be written";
        return false;
    }
    // Everything with a destructor lives outside the part that libpng may jump out of.
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
    ErrorSink sink;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = path + ": cannot open for writing";
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        std::fclose(file);
        error = path + ": out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        error = path + ": " + sink.message;
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const ColorRef* pixels = canvas.Pixels().data();
    for (png_uint_32 y = 0; y < height; ++y) {
        const ColorRef* line = pixels + static_cast<std::size_t>(y) * width;
        for (png_uint_32 x = 0; x < width; ++x) {
            row[3 * x] = static_cast<png_byte>(RedOf(line[x]));
            row[3 * x + 1] = static_cast<png_byte>(GreenOf(line[x]));
            row[3 * x + 2] = static_cast<png_byte>(BlueOf(line[x]));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    // A full disk may only show when the last bytes go out.
    if (std::fclose(file) != 0) {
        error = path + ": write failed";
        return false;
    }
    return true;
}

}  // namespace vellora::simtool
