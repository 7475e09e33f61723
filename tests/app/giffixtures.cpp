#include "giffixtures.h"

#include <algorithm>
#include <cstring>

namespace
{
class GifWriter
{
public:
    std::vector<BYTE> out;

    void Byte(int value) { out.push_back(static_cast<BYTE>(value)); }
    void Word(int value)
    {
        Byte(value & 0xFF);
        Byte((value >> 8) & 0xFF);
    }
    void Text(const char* text) { out.insert(out.end(), text, text + std::strlen(text)); }
    void Color(COLORREF color)
    {
        Byte(GetRValue(color));
        Byte(GetGValue(color));
        Byte(GetBValue(color));
    }
    void SubBlocks(const std::vector<BYTE>& data)
    {
        for (size_t at = 0; at < data.size(); at += 255)
        {
            const size_t block = std::min<size_t>(255, data.size() - at);
            Byte(static_cast<int>(block));
            out.insert(out.end(), data.begin() + at, data.begin() + at + block);
        }
        Byte(0);
    }
};

// LZW data of `pixels` pixels of colour index 0 with a minimum code size of 2: a clear code
// before every second pixel keeps every code 3 bits wide.
std::vector<BYTE> SolidImageData(int pixels)
{
    std::vector<BYTE> data;
    unsigned bits = 0;
    int count = 0;
    auto code = [&](unsigned value) {
        bits |= value << count;
        count += 3;
        while (count >= 8)
        {
            data.push_back(static_cast<BYTE>(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (int i = 0; i < pixels; ++i)
    {
        if (i % 2 == 0)
            code(4);
        code(0);
    }
    code(5);
    if (count > 0)
        data.push_back(static_cast<BYTE>(bits & 0xFF));
    return data;
}
}  // namespace

GifBytes MakeGif(int width, int height, const std::vector<GifFrameSpec>& frames)
{
    GifWriter gif;
    GifBytes result;
    gif.Text("GIF89a");
    gif.Word(width);
    gif.Word(height);
    gif.Byte(0x81);  // global table of 4 colours
    gif.Byte(0);
    gif.Byte(0);
    for (COLORREF color : {RGB(0, 0, 0), RGB(255, 255, 255), RGB(128, 128, 128), RGB(64, 64, 64)})
        gif.Color(color);

    result.blockStarts.push_back(gif.out.size());
    gif.Byte('!');
    gif.Byte(0xFF);
    gif.Byte(11);
    gif.Text("NETSCAPE2.0");
    gif.SubBlocks({1, 0, 0});  // loop for ever

    result.blockStarts.push_back(gif.out.size());
    gif.Byte('!');
    gif.Byte(0xFE);
    gif.SubBlocks({'t', 'e', 's', 't'});

    for (const GifFrameSpec& frame : frames)
    {
        if (frame.delay >= 0)
        {
            result.blockStarts.push_back(gif.out.size());
            gif.Byte('!');
            gif.Byte(0xF9);
            gif.Byte(4);
            gif.Byte((frame.disposal & 7) << 2);
            gif.Word(frame.delay);
            gif.Byte(0);
            gif.Byte(0);
        }
        result.blockStarts.push_back(gif.out.size());
        gif.Byte(',');
        gif.Word(frame.left);
        gif.Word(frame.top);
        gif.Word(frame.width);
        gif.Word(frame.height);
        gif.Byte(0x80);  // local table of 2 colours
        gif.Color(frame.color);
        gif.Color(RGB(0, 0, 0));
        gif.Byte(2);
        result.imageSubBlocks.push_back(gif.out.size());
        gif.SubBlocks(SolidImageData(frame.width * frame.height));
    }
    result.blockStarts.push_back(gif.out.size());
    gif.Byte(';');
    result.bytes = gif.out;
    return result;
}
