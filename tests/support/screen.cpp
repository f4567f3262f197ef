// screen.cpp - reading pixels off the screen and saving them as BMP files.
#include "support/test_support.h"

#include <cstdio>
#include <cstdlib>

int ScreenImage::Count(COLORREF colour, const RECT &area) const
{
    int found = 0;
    for (int y = area.top; y < area.bottom && y < height; ++y)
        for (int x = area.left; x < area.right && x < width; ++x)
            if (x >= 0 && y >= 0 && At(x, y) == colour)
                ++found;
    return found;
}

int ScreenImage::Count(COLORREF colour) const
{
    RECT all = {0, 0, width, height};
    return Count(colour, all);
}

ScreenImage DrawToImage(int width, int height, const std::function<void(HDC)> &draw)
{
    ScreenImage image;
    image.width = width;
    image.height = height;
    if (width <= 0 || height <= 0)
        return image;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void *bits = nullptr;
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, section);
    draw(memory);
    GdiFlush();

    image.pixels.resize(static_cast<size_t>(width) * height);
    const DWORD *source = static_cast<const DWORD *>(bits);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const DWORD bgr = source[i];
        image.pixels[i] = RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
    }

    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

ScreenImage CaptureScreen(const RECT &area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    ScreenImage image = DrawToImage(width, height, [&](HDC memory) {
        BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    });
    ReleaseDC(nullptr, screen);
    return image;
}

ScreenImage CaptureWindow(HWND window)
{
    UpdateWindow(window);
    PumpPendingMessages();
    RECT area;
    GetWindowRect(window, &area);
    return CaptureScreen(area);
}

ScreenImage CaptureClient(HWND window)
{
    UpdateWindow(window);
    PumpPendingMessages();
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    OffsetRect(&client, origin.x, origin.y);
    return CaptureScreen(client);
}

void BlackenClient(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(window, dc);
}

bool SliderThumbAtItsPosition(HWND slider)
{
    auto paintedThumb = [slider] {
        UpdateWindow(slider);
        PumpPendingMessages();
        RECT thumb = {};
        SendMessageA(slider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        return thumb;
    };
    const RECT shown = paintedThumb();
    const LRESULT position = SendMessageA(slider, TBM_GETPOS, 0, 0);
    const LRESULT minimum = SendMessageA(slider, TBM_GETRANGEMIN, 0, 0);
    const LRESULT away = position != minimum ? minimum : SendMessageA(slider, TBM_GETRANGEMAX, 0, 0);
    SendMessageA(slider, TBM_SETPOS, TRUE, away);
    paintedThumb();
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    const RECT redrawn = paintedThumb();
    return EqualRect(&shown, &redrawn) != FALSE;
}

std::string WindowsPathFromUnix(const std::string &unixPath)
{
    if (unixPath.empty() || unixPath[0] != '/')
        return unixPath;
    std::string path = "Z:" + unixPath;
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string TestOutputDirectory()
{
    const char *dir = getenv("DIALVANE_TEST_OUTPUT");
    std::string path = dir ? WindowsPathFromUnix(dir) : std::string(".");
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

std::string SiblingPath(const std::string &name)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string dir(self);
    return dir.substr(0, dir.rfind('\\') + 1) + name;
}

std::string SaveScreenshot(const ScreenImage &image, const std::string &name)
{
    const std::string path = TestOutputDirectory() + "\\" + name + ".bmp";
    return SaveBitmapFile(image, path) ? path : std::string();
}

bool SaveBitmapFile(const ScreenImage &image, const std::string &path)
{
    const int rowBytes = (image.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = image.width;
    header.biHeight = image.height; // bottom-up rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = rowBytes * image.height;
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;

    FILE *out = fopen(path.c_str(), "wb");
    if (!out)
        return false;
    fwrite(&file, sizeof(file), 1, out);
    fwrite(&header, sizeof(header), 1, out);
    std::vector<BYTE> row(rowBytes, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const COLORREF c = image.At(x, y);
            row[x * 3 + 0] = GetBValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetRValue(c);
        }
        fwrite(row.data(), 1, row.size(), out);
    }
    fclose(out);
    return true;
}

ScopedSysColors::ScopedSysColors(std::vector<std::pair<int, COLORREF>> colours)
{
    std::vector<COLORREF> wanted;
    for (const auto &entry : colours) {
        indexes.push_back(entry.first);
        saved.push_back(GetSysColor(entry.first));
        wanted.push_back(entry.second);
    }
    SetSysColors(static_cast<int>(indexes.size()), indexes.data(), wanted.data());
}

ScopedSysColors::~ScopedSysColors()
{
    SetSysColors(static_cast<int>(indexes.size()), indexes.data(), saved.data());
}
