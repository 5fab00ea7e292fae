#include "PngFile.h"

#include <png.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>

namespace
{
// Images wider or higher than this are refused before any memory is spent on them.
const png_uint_32 kMaxSide = 32768;
// An interlaced image must be held whole to be put together; plain ones stream row by row.
const std::uint64_t kMaxInterlacedSamples = 16u << 20;

// libpng reports errors by longjmp; the message, with the warning that often says more
// ("width exceeds user limit" before "Invalid IHDR data"), is kept in plain storage.
struct PngFailure
{
    char warning[256];
    char message[512];
};

void OnPngError(png_structp png, png_const_charp message)
{
    PngFailure* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s%s%s", failure->warning,
                  failure->warning[0] ? "; " : "", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp png, png_const_charp message)
{
    PngFailure* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->warning, sizeof failure->warning, "%s", message);
}

// One libpng reader or writer and its info, freed together.
class PngSession
{
  public:
    PngSession(bool reading, PngFailure& failure) : reading(reading)
    {
        png = reading ? png_create_read_struct(PNG_LIBPNG_VER_STRING, &failure, OnPngError,
                                               OnPngWarning)
                      : png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, OnPngError,
                                                OnPngWarning);
        if (png)
            info = png_create_info_struct(png);
    }
    ~PngSession()
    {
        if (reading)
            png_destroy_read_struct(&png, &info, nullptr);
        else
            png_destroy_write_struct(&png, &info);
    }
    PngSession(const PngSession&) = delete;
    PngSession& operator=(const PngSession&) = delete;

    bool reading;
    png_structp png = nullptr;
    png_infop info = nullptr;
};

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Everything the decoding frame needs, owned by the caller: a longjmp out of libpng must not
// skip a destructor, so the frame that calls setjmp holds nothing that has one.
struct DecodeBuffers
{
    std::vector<png_byte> row;
    std::vector<png_byte> whole;
    std::vector<png_bytep> rowPointers;
    std::vector<std::uint16_t> samples;
};

enum class DecodeResult
{
    Done,
    Failed,
    NotGrey,
    TooLarge,
};

void DeliverRow(const png_byte* bytes, int width, int bitDepth, int y, DecodeBuffers& buffers,
                GreyRowReceiver& receiver)
{
    for (int x = 0; x < width; ++x)
        buffers.samples[x] = bitDepth == 16
                                 ? static_cast<std::uint16_t>(bytes[2 * x] << 8 | bytes[2 * x + 1])
                                 : bytes[x];
    receiver.Row(y, buffers.samples.data());
}

DecodeResult Decode(png_structp png, png_infop info, DecodeBuffers& buffers,
                    GreyRowReceiver& receiver)
{
    if (setjmp(png_jmpbuf(png)))
        return DecodeResult::Failed;
    png_read_info(png, info);
    const int colourType = png_get_color_type(png, info);
    if (colourType != PNG_COLOR_TYPE_GRAY && colourType != PNG_COLOR_TYPE_GRAY_ALPHA)
        return DecodeResult::NotGrey;
    if (png_get_bit_depth(png, info) < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    png_set_strip_alpha(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    if (passes > 1 && static_cast<std::uint64_t>(width) * height > kMaxInterlacedSamples)
        return DecodeResult::TooLarge;
    buffers.samples.resize(width);
    receiver.Begin(static_cast<int>(width), static_cast<int>(height), bitDepth == 16 ? 65535 : 255);
    if (passes == 1)
    {
        buffers.row.resize(rowBytes);
        for (png_uint_32 y = 0; y < height; ++y)
        {
            png_read_row(png, buffers.row.data(), nullptr);
            DeliverRow(buffers.row.data(), width, bitDepth, y, buffers, receiver);
        }
    }
    else
    {
        buffers.whole.resize(rowBytes * height);
        buffers.rowPointers.resize(height);
        for (png_uint_32 y = 0; y < height; ++y)
            buffers.rowPointers[y] = buffers.whole.data() + y * rowBytes;
        png_read_image(png, buffers.rowPointers.data());
        for (png_uint_32 y = 0; y < height; ++y)
            DeliverRow(buffers.rowPointers[y], width, bitDepth, y, buffers, receiver);
    }
    png_read_end(png, info);
    return DecodeResult::Done;
}

bool Encode(png_structp png, png_infop info, int width, int height, png_bytepp rows,
            png_textp texts, int textCount)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, width, height, 16, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (textCount > 0)
        png_set_text(png, info, texts, textCount);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

void AppendBytes(png_structp png, png_bytep data, size_t length)
{
    std::string* bytes = static_cast<std::string*>(png_get_io_ptr(png));
    bool appended = true;
    try
    {
        bytes->append(reinterpret_cast<const char*>(data), length);
    }
    catch (const std::bad_alloc&)
    {
        appended = false;
    }
    // An exception must not cross libpng's frames; its own error path unwinds them.
    if (!appended)
        png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}
} // namespace

bool ReadGreyPng(const std::string& path, GreyRowReceiver& receiver, std::vector<PngText>& texts,
                 std::string& error)
{
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    png_byte signature[8];
    if (!file)
    {
        error = "cannot open " + path;
        return false;
    }
    if (std::fread(signature, 1, sizeof signature, file.get()) != sizeof signature ||
        png_sig_cmp(signature, 0, sizeof signature) != 0)
    {
        error = path + " is not a PNG file";
        return false;
    }
    PngFailure failure{};
    PngSession state(true, failure);
    if (!state.info)
    {
        error = "out of memory reading " + path;
        return false;
    }
    png_init_io(state.png, file.get());
    png_set_sig_bytes(state.png, sizeof signature);
    png_set_user_limits(state.png, kMaxSide, kMaxSide);
    DecodeBuffers buffers;
    switch (Decode(state.png, state.info, buffers, receiver))
    {
    case DecodeResult::Failed:
        error = path + " is damaged or unreadable (" + failure.message + ")";
        return false;
    case DecodeResult::NotGrey:
        error = path + " is not a greyscale PNG; save it as 8- or 16-bit greyscale";
        return false;
    case DecodeResult::TooLarge:
        error = path + " is interlaced and too large to read; save it without interlacing";
        return false;
    case DecodeResult::Done:
        break;
    }
    png_textp text = nullptr;
    const int count = png_get_text(state.png, state.info, &text, nullptr);
    for (int k = 0; k < count; ++k)
        texts.push_back({text[k].key, std::string(text[k].text, text[k].text_length)});
    return true;
}

bool EncodeGreyPng16(int width, int height, const std::vector<std::uint16_t>& samples,
                     const std::vector<PngText>& texts, std::string& bytes, std::string& error)
{
    std::vector<png_byte> data(samples.size() * 2);
    for (size_t k = 0; k < samples.size(); ++k)
    {
        data[2 * k] = static_cast<png_byte>(samples[k] >> 8);
        data[2 * k + 1] = static_cast<png_byte>(samples[k] & 0xFF);
    }
    std::vector<png_bytep> rows(height);
    for (int y = 0; y < height; ++y)
        rows[y] = data.data() + static_cast<size_t>(y) * width * 2;
    std::vector<png_text> chunks(texts.size());
    for (size_t k = 0; k < texts.size(); ++k)
    {
        chunks[k] = png_text{};
        chunks[k].compression = PNG_TEXT_COMPRESSION_NONE;
        chunks[k].key = const_cast<png_charp>(texts[k].keyword.c_str());
        chunks[k].text = const_cast<png_charp>(texts[k].text.c_str());
    }
    PngFailure failure{};
    PngSession state(false, failure);
    if (!state.info)
    {
        error = "out of memory writing a PNG";
        return false;
    }
    bytes.clear();
    png_set_write_fn(state.png, &bytes, AppendBytes, FlushNothing);
    if (!Encode(state.png, state.info, width, height, rows.data(), chunks.data(),
                static_cast<int>(chunks.size())))
    {
        error = std::string("cannot make the PNG: ") + failure.message;
        return false;
    }
    return true;
}
