// Test tool gdi_print.exe: prints through a printer queue the way any Windows program does
// (CreateDC, StartDoc, pages of Japanese and ASCII text with a filled shape, EndDoc).
//   gdi_print.exe "<printer name>" "<document name>" [pages]
// Exit 0 when the spooler accepted the whole job; 1 with the failed call and the Windows
// error on standard error otherwise; 2 for a wrong command line.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <string>

namespace {

int Failed(const char* call) {
    std::fprintf(stderr, "gdi_print: %s failed: Windows error %lu\n", call,
                 static_cast<unsigned long>(GetLastError()));
    return 1;
}

bool DrawPage(HDC dc, int page, int pages) {
    const int width = GetDeviceCaps(dc, HORZRES);
    const int height = GetDeviceCaps(dc, VERTRES);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    const HFONT font = CreateFontW(-dpi / 3, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Gothic");
    const HGDIOBJ oldFont = SelectObject(dc, font);
    const std::wstring heading =
        L"見積書 Estimate page " + std::to_wstring(page) + L" of " + std::to_wstring(pages);
    const std::wstring body = L"日本語とASCIIのテキスト: Vellumcast GDI print test.";
    bool ok = TextOutW(dc, dpi, dpi, heading.c_str(), static_cast<int>(heading.size())) &&
              TextOutW(dc, dpi, dpi * 2, body.c_str(), static_cast<int>(body.size()));
    // A filled shape that takes a good part of the page, so that a rendered page shows it.
    const HBRUSH brush = CreateSolidBrush(RGB(20, 60, 160));
    const HGDIOBJ oldBrush = SelectObject(dc, brush);
    ok = Rectangle(dc, dpi, dpi * 3, width - dpi, dpi * 3 + (height - dpi * 4) / 3) && ok;
    ok = Ellipse(dc, width / 4, height / 2, width * 3 / 4, height / 2 + height / 5) && ok;
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    return ok;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3 || argc > 4) {
        std::fputs("usage: gdi_print.exe \"<printer name>\" \"<document name>\" [pages]\n", stderr);
        return 2;
    }
    int pages = 1;
    if (argc == 4) {
        pages = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
        if (pages < 1) {
            std::fputs("gdi_print: pages must be at least 1\n", stderr);
            return 2;
        }
    }
    const HDC dc = CreateDCW(nullptr, argv[1], nullptr, nullptr);
    if (!dc)
        return Failed("CreateDC");
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = argv[2];
    if (StartDocW(dc, &doc) <= 0) {
        const int status = Failed("StartDoc");
        DeleteDC(dc);
        return status;
    }
    for (int page = 1; page <= pages; ++page) {
        if (StartPage(dc) <= 0 || !DrawPage(dc, page, pages) || EndPage(dc) <= 0) {
            const int status = Failed("printing a page");
            AbortDoc(dc);
            DeleteDC(dc);
            return status;
        }
    }
    if (EndDoc(dc) <= 0) {
        const int status = Failed("EndDoc");
        DeleteDC(dc);
        return status;
    }
    DeleteDC(dc);
    return 0;
}
