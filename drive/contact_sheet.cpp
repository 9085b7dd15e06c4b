// contact_sheet: the README's contact sheet of the language modules' main windows: each picture at
// half its size, in a grid of Columns, its label below it.  `make screenshots` runs it last.
//
//   contact_sheet SHEET PICTURE LABEL [PICTURE LABEL]...
//
// SHEET and PICTURE are PNG files (Windows paths), LABEL the picture's caption ("Arabic (1025)"),
// written in the system's message font.  Every cell has the size of the largest picture, so a
// window that grew for its language shows larger than the rest.
// Exit code: 0; 2 for a usage error; 3 when a picture cannot be read or the sheet not written.
#include <windows.h>

#include <stdio.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <string>
#include <vector>

#include "drive/png_picture.h"
#include "drive/wide_text.h"

using Microsoft::WRL::ComPtr;

namespace {

const int UsageError = 2;
const int SheetFailed = 3;
const int Columns = 5;
const UINT Shrink = 2;      // a thumbnail's side is its picture's divided by this
const int Gap = 16;         // pixels between cells and around the grid
const int LabelHeight = 22; // pixels of a label's line below its thumbnail
const COLORREF Paper = RGB(255, 255, 255);
const COLORREF Ink = RGB(0, 0, 0);
const int BytesPerPixel = 3; // 24-bit BGR, as ScreenPicture holds it

struct Thumbnail {
    ScreenPicture picture;
    std::wstring label;
};

// The PNG at path as 24-bit BGR rows.
bool ReadPng(IWICImagingFactory* factory, const std::wstring& path, ScreenPicture& picture) {
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    ComPtr<IWICFormatConverter> converter;
    if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), NULL, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.GetAddressOf())) ||
        FAILED(decoder->GetFrame(0, frame.GetAddressOf())) ||
        FAILED(factory->CreateFormatConverter(converter.GetAddressOf())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone, NULL,
                                     0.0, WICBitmapPaletteTypeCustom)) ||
        FAILED(converter->GetSize(&picture.width, &picture.height))) {
        return false;
    }
    picture.stride = (picture.width * BytesPerPixel + 3) & ~3u;
    picture.pixels.assign(static_cast<size_t>(picture.stride) * picture.height, 0);
    return SUCCEEDED(converter->CopyPixels(NULL, picture.stride, static_cast<UINT>(picture.pixels.size()),
                                           picture.pixels.data()));
}

// Each Shrink x Shrink square of the picture averaged into one pixel.  Wine's WIC scaler takes the
// nearest pixel instead, which drops the thin strokes of the letters.
ScreenPicture Shrunk(const ScreenPicture& full) {
    ScreenPicture small;
    small.width = full.width / Shrink;
    small.height = full.height / Shrink;
    small.stride = (small.width * BytesPerPixel + 3) & ~3u;
    small.pixels.assign(static_cast<size_t>(small.stride) * small.height, 0);
    for (UINT y = 0; y < small.height; ++y) {
        for (UINT x = 0; x < small.width; ++x) {
            for (int channel = 0; channel < BytesPerPixel; ++channel) {
                UINT sum = 0;
                for (UINT dy = 0; dy < Shrink; ++dy) {
                    for (UINT dx = 0; dx < Shrink; ++dx) {
                        sum += full.pixels[(y * Shrink + dy) * full.stride +
                                           (x * Shrink + dx) * BytesPerPixel + channel];
                    }
                }
                small.pixels[y * small.stride + x * BytesPerPixel + channel] =
                    static_cast<BYTE>(sum / (Shrink * Shrink));
            }
        }
    }
    return small;
}

// The sheet: white paper, the thumbnails in rows, each label centred below its thumbnail.
bool DrawSheet(const std::vector<Thumbnail>& thumbnails, ScreenPicture& sheet) {
    int cellWidth = 0, cellHeight = 0;
    for (const Thumbnail& thumbnail : thumbnails) {
        cellWidth = std::max(cellWidth, static_cast<int>(thumbnail.picture.width));
        cellHeight = std::max(cellHeight, static_cast<int>(thumbnail.picture.height));
    }
    cellHeight += LabelHeight;
    const int count = static_cast<int>(thumbnails.size());
    const int columns = std::min(Columns, count);
    const int rows = (count + Columns - 1) / Columns;
    sheet.width = Gap + columns * (cellWidth + Gap);
    sheet.height = Gap + rows * (cellHeight + Gap);
    sheet.stride = (sheet.width * BytesPerPixel + 3) & ~3u;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = sheet.width;
    info.bmiHeader.biHeight = -static_cast<LONG>(sheet.height); // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = BytesPerPixel * 8;
    BYTE* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), NULL, 0);
    if (!bitmap) {
        return false;
    }
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT all = {0, 0, static_cast<LONG>(sheet.width), static_cast<LONG>(sheet.height)};
    HBRUSH paper = CreateSolidBrush(Paper);
    FillRect(dc, &all, paper);
    DeleteObject(paper);
    GdiFlush();

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Ink);
    for (int k = 0; k < count; ++k) {
        const ScreenPicture& picture = thumbnails[k].picture;
        const int left = Gap + (k % Columns) * (cellWidth + Gap);
        const int top = Gap + (k / Columns) * (cellHeight + Gap);
        for (UINT y = 0; y < picture.height; ++y) {
            std::copy_n(&picture.pixels[y * picture.stride], picture.width * BytesPerPixel,
                        bits + (top + y) * sheet.stride + left * BytesPerPixel);
        }
        RECT label = {left, top + static_cast<LONG>(picture.height), left + static_cast<LONG>(picture.width),
                      top + static_cast<LONG>(picture.height) + LabelHeight};
        DrawTextW(dc, thumbnails[k].label.c_str(), -1, &label,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    GdiFlush();
    sheet.pixels.assign(bits, bits + static_cast<size_t>(sheet.stride) * sheet.height);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return true;
}

} // namespace

int main() {
    const std::vector<std::wstring> words = ProgramArguments();
    if (words.size() < 3 || words.size() % 2 == 0) {
        fprintf(stderr, "usage: contact_sheet SHEET PICTURE LABEL [PICTURE LABEL]...\n");
        return UsageError;
    }
    CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(factory.GetAddressOf())))) {
        fprintf(stderr, "contact_sheet: no imaging factory\n");
        return SheetFailed;
    }
    std::vector<Thumbnail> thumbnails;
    for (size_t w = 1; w + 1 < words.size(); w += 2) {
        ScreenPicture full;
        if (!ReadPng(factory.Get(), words[w], full)) {
            fprintf(stderr, "contact_sheet: cannot read %s\n", Utf8(words[w]).c_str());
            return SheetFailed;
        }
        thumbnails.push_back(Thumbnail{Shrunk(full), words[w + 1]});
    }
    ScreenPicture sheet;
    if (!DrawSheet(thumbnails, sheet) || !WritePng(words[0], sheet)) {
        fprintf(stderr, "contact_sheet: no sheet written to %s\n", Utf8(words[0]).c_str());
        return SheetFailed;
    }
    printf("picture: %s (%ux%u, %u thumbnails)\n", Utf8(words[0]).c_str(), sheet.width, sheet.height,
           static_cast<unsigned>(thumbnails.size()));
    return 0;
}
