#include "PngFile.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#include <stb_image.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <string_view>

namespace
{
const std::string kSignature("\x89PNG\r\n\x1A\n", 8);
// NOTE: a fuzzing build takes every checksum as right, as libFuzzer's fuzzer-friendly build mode
// suggests: random changes would hardly ever get past them to the decoder behind.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
const bool kChecksumsChecked = false;
#else
const bool kChecksumsChecked = true;
#endif
// stb_image holds the whole image, a few times over while it decodes: an image wider or taller
// than this is refused before it takes more than several hundred megabytes.
const std::uint32_t kMaxSide = 8192;

std::uint32_t Big32(const char* bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return std::uint32_t(b[0]) << 24 | b[1] << 16 | b[2] << 8 | b[3];
}

void AppendBig32(std::string& bytes, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes += static_cast<char>(value >> shift & 0xFF);
}

std::uint32_t Crc(const char* bytes, size_t size)
{
    return static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes), size));
}

// Whether the zlib stream in inflates whole to at most limit bytes. stb_image would take all it
// gives, however much that is.
bool InflatesWithin(const std::string& in, size_t limit)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        throw std::bad_alloc();
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    stream.avail_in = static_cast<uInt>(in.size());
    char buffer[1 << 14];
    size_t total = 0;
    int status = Z_OK;
    while (status == Z_OK && total <= limit)
    {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        total += sizeof buffer - stream.avail_out;
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END && total <= limit;
}
} // namespace

GreyImage DecodeGreyPng(const std::string& name, const std::string& bytes,
                        const std::string& keyword, std::optional<std::string>& text)
{
    const auto fail = [&name](const std::string& why) {
        return std::runtime_error(name + " " + why);
    };
    if (bytes.compare(0, kSignature.size(), kSignature) != 0)
        throw fail("is not a PNG file");
    // stb_image checks no checksum: every chunk is checked here first, and the header read.
    std::uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = 0;
    std::string data;
    const std::string textStart = keyword + '\0';
    for (size_t at = kSignature.size();;)
    {
        const std::uint32_t length = bytes.size() - at >= 12 ? Big32(&bytes[at]) : 0;
        if (bytes.size() - at < 12 || length > bytes.size() - at - 12)
            throw fail("is damaged: it ends inside a chunk");
        const std::string type = bytes.substr(at + 4, 4);
        const std::string_view body(&bytes[at + 8], length);
        // NOTE: stb_image copies an empty IDAT chunk before any image data through a null pointer.
        if ((kChecksumsChecked &&
             Crc(&bytes[at + 4], 4 + length) != Big32(&bytes[at + 8 + length])) ||
            (at == kSignature.size()) != (type == "IHDR") || (type == "IHDR" && length != 13) ||
            (type == "IDAT" && length == 0 && data.empty()))
            throw fail("is damaged: its " + type + " chunk is not what it should be");
        at += 12 + length;
        if (type == "IHDR")
        {
            width = Big32(&body[0]);
            height = Big32(&body[4]);
            bitDepth = static_cast<unsigned char>(body[8]);
            colourType = static_cast<unsigned char>(body[9]);
        }
        else if (type == "IDAT")
            data += body;
        else if (type == "tEXt" && body.substr(0, textStart.size()) == textStart)
            text = std::string(body.substr(textStart.size()));
        else if (type == "IEND")
            break;
    }
    if (colourType != 0 && colourType != 4)
        throw fail("is not a greyscale PNG; save it as 8- or 16-bit greyscale");
    const std::string side = std::to_string(kMaxSide);
    if (width > kMaxSide || height > kMaxSide)
        throw fail("is too large: " + std::to_string(width) + " x " + std::to_string(height) +
                   " pixels, more than the " + side + " x " + side + " that the tool reads");
    // Interlacing adds a few bytes a row: a filter byte and a part byte for each of its passes.
    const int channels = colourType == 4 ? 2 : 1;
    const std::uint64_t rowBytes = (std::uint64_t(width) * channels * bitDepth + 7) / 8;
    if (!InflatesWithin(data, height * (rowBytes + 16)))
        throw fail("is damaged: its image data is broken or far more than the image");
    GreyImage image;
    std::unique_ptr<stbi_us, void (*)(void*)> pixels(
        stbi_load_16_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                 static_cast<int>(bytes.size()), &image.width, &image.height,
                                 nullptr, 1),
        stbi_image_free);
    if (!pixels)
        throw fail(std::string("is damaged or unreadable (") + stbi_failure_reason() + ")");
    // stb_image widens fewer bits to 16 by repeating the byte: the grey levels of the file are
    // kept as they are.
    image.maxValue = bitDepth == 16 ? 65535 : 255;
    const int widening = 65535 / image.maxValue;
    image.samples.resize(static_cast<size_t>(image.width) * image.height);
    std::transform(pixels.get(), pixels.get() + image.samples.size(), image.samples.begin(),
                   [widening](stbi_us sample) { return sample / widening; });
    return image;
}

std::string EncodePng(const PngImage& image,
                      const std::vector<std::pair<std::string, std::string>>& texts)
{
    const auto chunk = [](std::string& png, const char* type, const std::string& body) {
        AppendBig32(png, static_cast<std::uint32_t>(body.size()));
        const size_t start = png.size();
        png += type;
        png += body;
        AppendBig32(png, Crc(&png[start], png.size() - start));
    };
    std::string header;
    AppendBig32(header, image.width);
    AppendBig32(header, image.height);
    // Deflate, filter set 0, no interlacing.
    header += {static_cast<char>(image.bitDepth), static_cast<char>(image.colourType), 0, 0, 0};
    // Each row goes in behind filter type 0: its samples as they are.
    const size_t rowBytes = image.rows.size() / image.height;
    std::string raw;
    for (int y = 0; y < image.height; ++y)
        raw.append(1, '\0').append(image.rows, y * rowBytes, rowBytes);
    uLongf compressedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string compressed(compressedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(&compressed[0]), &compressedSize,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        throw std::bad_alloc();
    compressed.resize(compressedSize);

    std::string png = kSignature;
    chunk(png, "IHDR", header);
    for (const auto& [keyword, text] : texts)
        chunk(png, "tEXt", keyword + '\0' + text);
    chunk(png, "IDAT", compressed);
    chunk(png, "IEND", "");
    return png;
}

std::string BitmapToPng(const unsigned char* bitmap, std::size_t size)
{
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load_from_memory(bitmap, static_cast<int>(size), &width, &height, &channels, 3),
        stbi_image_free);
    if (!pixels)
        throw std::runtime_error(std::string("not a bitmap: ") + stbi_failure_reason());
    const auto* first = reinterpret_cast<const char*>(pixels.get());
    return EncodePng({width, height, 8, 2, std::string(first, size_t(width) * height * 3)}, {});
}
