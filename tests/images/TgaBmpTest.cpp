// The TGA and BMP decoders over files written by ImageMagick (and patched by
// hand where a case needs bytes no tool writes), compared pixel by pixel with
// what ImageMagick itself decodes.
#include "ImageFiles.h"

using namespace imagefiles;

namespace
{
// A TGA header followed by `tail` (image ID, colour map, pixels).
std::string TgaFile(int type, int depth, int width, int height, const std::string& tail, int idLength = 0,
                    int colourMapType = 0, int colourMapLength = 0, int colourMapBits = 0)
{
    std::string bytes(18, '\0');
    bytes[0] = static_cast<char>(idLength);
    bytes[1] = static_cast<char>(colourMapType);
    bytes[2] = static_cast<char>(type);
    Put16(bytes, 5, static_cast<std::uint32_t>(colourMapLength));
    bytes[7] = static_cast<char>(colourMapBits);
    Put16(bytes, 12, static_cast<std::uint32_t>(width));
    Put16(bytes, 14, static_cast<std::uint32_t>(height));
    bytes[16] = static_cast<char>(depth);
    return bytes + tail;
}
} // namespace

TEST_F(ImageLoad, TgaFromImageMagickKeepsFileRowOrder)
{
    std::string withoutId[2];
    for (int depth : {24, 32})
        for (bool topLeft : {false, true})
            for (bool id : {false, true})
            {
                std::string name = std::string("t") + (depth == 24 ? "24" : "32") + (topLeft ? "_tl" : "_bl") +
                                   (id ? "_id" : "") + ".tga";
                std::string options = depth == 24 ? " -alpha off -type TrueColor" : " -type TrueColorAlpha";
                options += topLeft ? " -orient TopLeft" : " -orient BottomLeft";
                options += id ? " -set comment hello" : "";
                ASSERT_TRUE(testfiles::Run(im + " " + root + (depth == 24 ? "rgb.ppm" : "rgba.pam") + options +
                                           " " + data + name));
                std::string file = testfiles::ReadFile(data + name);
                ASSERT_GE(file.size(), 18u);
                ASSERT_EQ(file[2], 2) << name;
                ASSERT_EQ(file[16], depth) << name;
                ASSERT_EQ((file[17] & 0x20) != 0, topLeft) << name;
                ASSERT_EQ(file[0], id ? 5 : 0) << name;

                T_Texture texture;
                ASSERT_TRUE(Load(texture, name)) << name;
                EXPECT_EQ(texture.width * 100 + texture.height, 503);
                // The picture the tool shows is top row first; memory keeps
                // the file's rows, so a bottom-left file is that picture
                // upside down.
                std::string shown = DecodeWithImageMagick(data + name, true);
                EXPECT_EQ(Pixels(texture), topLeft ? shown : FlipRows(shown, 5 * 4)) << name;
                if (!id)
                    withoutId[depth / 32] = Pixels(texture);
                else
                    EXPECT_EQ(Pixels(texture), withoutId[depth / 32]) << "an image ID changes nothing: " << name;
            }
}

TEST_F(ImageLoad, TgaHandMadeBytes)
{
    // Blue, green, red in the file become red, green, blue, 255.
    testfiles::WriteFile(data + "two.tga", TgaFile(2, 24, 2, 1, std::string("\x0A\x14\x1E\x28\x32\x3C", 6)));
    T_Texture texture;
    ASSERT_TRUE(Load(texture, "two.tga"));
    EXPECT_EQ(Pixels(texture), std::string("\x1E\x14\x0A\xFF\x3C\x32\x28\xFF", 8));
    EXPECT_EQ(texture.width * 100 + texture.height, 201);
    EXPECT_EQ(texture.bitsPerPixel, 32);
    EXPECT_EQ(texture.name, "two.tga");

    // 32 bits: alpha as stored; an image ID and a colour map (type 1) before
    // the pixels are skipped.
    const std::string pixels32("\x01\x02\x03\x00\x04\x05\x06\x80", 8);
    const std::string expected32("\x03\x02\x01\x00\x06\x05\x04\x80", 8);
    testfiles::WriteFile(data + "map.tga", TgaFile(2, 32, 1, 2, std::string("ID!") + std::string(3 * 3, '\x77') + pixels32, 3, 1,
                                                   3, 24));
    ASSERT_TRUE(Load(texture, "map.tga"));
    EXPECT_EQ(Pixels(texture), expected32);
}

TEST_F(ImageLoad, TgaRejected)
{
    ASSERT_TRUE(testfiles::Run(im + " " + root + "rgb.ppm -type TrueColor -compress RLE " + data + "rle.tga"));
    ASSERT_EQ(testfiles::ReadFile(data + "rle.tga")[2], 10);
    ASSERT_TRUE(testfiles::Run(im + " " + root + "rgb.ppm -colors 4 -type Palette " + data + "mapped.tga"));
    ASSERT_EQ(testfiles::ReadFile(data + "mapped.tga")[2], 1);
    ASSERT_TRUE(testfiles::Run(im + " " + root + "rgb.ppm -type TrueColor " + data + "good.tga"));
    for (const char* name : {"rle.tga", "mapped.tga", "missing.tga"})
        ExpectRejected(name);

    const std::string good = testfiles::ReadFile(data + "good.tga");
    // Every truncation, from an empty file to one byte of pixel data short.
    for (std::size_t size = 0; size < good.size(); ++size)
        ExpectRejected("cut" + std::to_string(size) + ".tga", good.substr(0, size));
    // The extension is compared exactly.
    for (const char* name : {"x.TGA", "x.tga.bak", "x.targa", "targa"})
        ExpectRejected(name, good);
    // A name without "." is its own extension: "tga" goes to the TGA decoder.
    ExpectRejected("tga", "not a targa file");
    testfiles::WriteFile(data + "tga", good);
    T_Texture bare;
    EXPECT_TRUE(Load(bare, "tga"));

    const std::string four(4 * 4, '\x55');
    ExpectRejected("depth16.tga", TgaFile(2, 16, 2, 2, four));
    ExpectRejected("depth8.tga", TgaFile(3, 8, 4, 4, four));
    ExpectRejected("zero_width.tga", TgaFile(2, 32, 0, 2, four));
    ExpectRejected("zero_height.tga", TgaFile(2, 32, 2, 0, four));
    ExpectRejected("id_past_end.tga", TgaFile(2, 32, 1, 1, "abcd", 200));
    ExpectRejected("map_past_end.tga", TgaFile(2, 32, 1, 1, "abcd", 0, 1, 40000, 32));
    // 65535 x 65535 x 4 does not fit the record; nothing is allocated for it.
    ExpectRejected("huge.tga", TgaFile(2, 32, 65535, 65535, four));
    ExpectRejected("wide.tga", TgaFile(2, 24, 65535, 1, four));
}

TEST_F(ImageLoad, BmpFromImageMagickEveryPaddingBothRowOrders)
{
    for (int bits : {24, 32})
        for (int width = 1; width <= 5; ++width)
        {
            std::string name = std::string(bits == 24 ? "b24_" : "b32_") + char('0' + width) + ".bmp";
            std::string options = " -crop " + std::to_string(width) + "x3+0+0 +repage";
            options += bits == 24 ? " -alpha off -type TrueColor" : " -type TrueColorAlpha -define bmp3:alpha=true";
            ASSERT_TRUE(testfiles::Run(im + " " + root + (bits == 24 ? "rgb.ppm" : "rgba.pam") + options +
                                       " BMP3:" + data + name));
            std::string file = testfiles::ReadFile(data + name);
            ASSERT_GE(file.size(), 54u);
            ASSERT_EQ(Get32(file, 28) & 0xFFFF, static_cast<std::uint32_t>(bits)) << name;
            ASSERT_EQ(Get32(file, 30), 0u) << name;
            ASSERT_EQ(static_cast<std::int32_t>(Get32(file, 22)), 3) << name << " is bottom-up";

            // The same picture top-down: height negated, rows reversed.
            const std::size_t offset = Get32(file, 10);
            const std::size_t stride = (static_cast<std::size_t>(width) * bits / 8 + 3) / 4 * 4;
            ASSERT_EQ(file.size(), offset + 3 * stride) << name;
            std::string topDown = file.substr(0, offset) + FlipRows(file.substr(offset, 3 * stride), stride);
            Put32(topDown, 22, static_cast<std::uint32_t>(-3));
            std::string topDownName = "td_" + name;
            testfiles::WriteFile(data + topDownName, topDown);

            for (const std::string& loadName : {name, topDownName})
            {
                T_Texture texture;
                ASSERT_TRUE(Load(texture, loadName)) << loadName;
                EXPECT_EQ(texture.width * 100 + texture.height, width * 100 + 3);
                std::string shown = DecodeWithImageMagick(data + loadName, false);
                EXPECT_EQ(Pixels(texture), shown) << loadName;
                // A 32-bit file's alpha made it through.
                EXPECT_EQ(Pixels(texture)[3] == '\xFF', bits == 24) << loadName;
            }
        }
}

TEST_F(ImageLoad, BmpEdgeCases)
{
    ASSERT_TRUE(testfiles::Run(im + " " + root + "rgba.pam -type TrueColorAlpha -define bmp3:alpha=true BMP3:" +
                               data + "alpha.bmp"));
    std::string file = testfiles::ReadFile(data + "alpha.bmp");
    const std::size_t offset = Get32(file, 10);
    T_Texture texture;
    ASSERT_TRUE(Load(texture, "alpha.bmp"));
    std::string opaque = Pixels(texture);

    // Fourth bytes of 0 stay 0: fully transparent, colours untouched.
    for (std::size_t at = offset + 3; at < file.size(); at += 4)
        file[at] = 0;
    testfiles::WriteFile(data + "clear.bmp", file);
    ASSERT_TRUE(Load(texture, "clear.bmp"));
    std::string clear = Pixels(texture);
    ASSERT_EQ(clear.size(), opaque.size());
    for (std::size_t at = 0; at < clear.size(); ++at)
        EXPECT_EQ(clear[at], at % 4 == 3 ? '\0' : opaque[at]) << at;

    // A 24-bit, 3-pixel-wide bottom-up file by hand: 3 padding bytes per row,
    // the last file row first in memory. The last row's padding may be
    // missing, its pixels may not.
    std::string bmp = std::string("BM") + std::string(12, '\0') + std::string(40, '\0');
    Put32(bmp, 10, 54);
    Put32(bmp, 14, 40);
    Put32(bmp, 18, 3);
    Put32(bmp, 22, 2);
    Put16(bmp, 26, 1);
    Put16(bmp, 28, 24);
    const std::string rows = std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09PPP", 12) +
                             std::string("\x11\x12\x13\x14\x15\x16\x17\x18\x19QQQ", 12);
    const std::string expected("\x13\x12\x11\xFF\x16\x15\x14\xFF\x19\x18\x17\xFF"
                               "\x03\x02\x01\xFF\x06\x05\x04\xFF\x09\x08\x07\xFF",
                               24);
    testfiles::WriteFile(data + "pad.bmp", bmp + rows);
    ASSERT_TRUE(Load(texture, "pad.bmp"));
    EXPECT_EQ(Pixels(texture), expected);
    testfiles::WriteFile(data + "nopad.bmp", bmp + rows.substr(0, 21));
    ASSERT_TRUE(Load(texture, "nopad.bmp"));
    EXPECT_EQ(Pixels(texture), expected);
    ExpectRejected("short.bmp", bmp + rows.substr(0, 20));
}

TEST_F(ImageLoad, BmpRejected)
{
    WriteSource(root + "many.ppm", 20, 20, false, 13);
    ASSERT_TRUE(testfiles::Run(im + " " + root + "many.ppm -colors 200 -type Palette BMP3:" + data + "palette.bmp"));
    ASSERT_TRUE(testfiles::Run(im + " " + root + "many.ppm -colors 200 -type Palette -compress RLE BMP3:" + data +
                               "rle.bmp"));
    // ImageMagick's default 32-bit BMP uses bit-field masks (compression 3).
    ASSERT_TRUE(testfiles::Run(im + " " + root + "rgba.pam -type TrueColorAlpha " + data + "fields.bmp"));
    ASSERT_TRUE(testfiles::Run(im + " " + root + "rgb.ppm -type TrueColor BMP3:" + data + "good.bmp"));
    const std::string good = testfiles::ReadFile(data + "good.bmp");
    ASSERT_EQ(Get32(testfiles::ReadFile(data + "palette.bmp"), 28) & 0xFFFF, 8u);
    ASSERT_EQ(Get32(testfiles::ReadFile(data + "rle.bmp"), 30), 1u);
    ASSERT_EQ(Get32(testfiles::ReadFile(data + "fields.bmp"), 30), 3u);
    for (const char* name : {"palette.bmp", "rle.bmp", "fields.bmp"})
        ExpectRejected(name);
    for (const char* name : {"x.BMP", "x.dib", "bitmap"})
        ExpectRejected(name, good);
    ExpectRejected("bmp", "BM but nothing else");
    // Everything up to the last row's padding, which may go, is needed.
    const std::size_t padding = (4 - Get32(good, 18) * 3 % 4) % 4;
    for (std::size_t size = 0; size + padding < good.size(); ++size)
        ExpectRejected("cut" + std::to_string(size) + ".bmp", good.substr(0, size));

    const struct
    {
        const char* name;
        std::size_t at;
        std::uint64_t value;
        int width; // bytes written
    } patches[] = {
        {"signature.bmp", 0, 0x4142, 2},
        {"core_header.bmp", 14, 12, 4},
        {"zero_width.bmp", 18, 0, 4},
        {"negative_width.bmp", 18, static_cast<std::uint32_t>(-5), 4},
        {"zero_height.bmp", 22, 0, 4},
        {"int_min_height.bmp", 22, 0x80000000u, 4},
        {"huge_width.bmp", 18, 0x7FFFFFFFu, 4},
        {"huge_height.bmp", 22, 0x7FFFFFFFu, 4},
        {"huge_top_down.bmp", 22, static_cast<std::uint32_t>(-0x7FFFFFFF), 4},
        {"huge_both.bmp", 18, 0x7FFFFFFF7FFFFFFFu, 8}, // the picture's size would overflow 64 bits
        {"too_big.bmp", 18, 16384ull << 32 | 32768, 8}, // 32768 x 16384 x 4 = 2^31, one past the record
        {"bits16.bmp", 28, 16, 2},
        {"offset_past_end.bmp", 10, 0xFFFFFFF0u, 4},
        {"offset_short.bmp", 10, good.size() - 10, 4},
    };
    for (const auto& p : patches)
    {
        std::string bytes = good;
        if (p.width == 2)
            Put16(bytes, p.at, static_cast<std::uint32_t>(p.value));
        else
            Put32(bytes, p.at, static_cast<std::uint32_t>(p.value));
        if (p.width == 8)
            Put32(bytes, p.at + 4, static_cast<std::uint32_t>(p.value >> 32));
        ExpectRejected(p.name, bytes);
    }
}
