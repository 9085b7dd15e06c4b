#include "drive/png_picture.h"

#include <wincodec.h>
#include <wrl/client.h>

bool CopyScreen(const RECT& area, ScreenPicture& picture) {
    picture.width = area.right - area.left;
    picture.height = area.bottom - area.top;
    picture.stride = (picture.width * 3 + 3) & ~3u;
    if (area.right <= area.left || area.bottom <= area.top)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -static_cast<LONG>(picture.height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    BYTE* bits = NULL;
    HBITMAP bitmap =
        CreateDIBSection(screen, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), NULL, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    bool copied =
        bitmap && BitBlt(memory, 0, 0, picture.width, picture.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    if (copied)
        picture.pixels.assign(bits, bits + picture.stride * picture.height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return copied;
}

bool CopyWindow(HWND window, ScreenPicture& picture) {
    RECT area = {};
    return GetWindowRect(window, &area) && CopyScreen(area, picture);
}

bool WritePng(const std::wstring& path, const ScreenPicture& picture) {
    Microsoft::WRL::ComPtr<IWICImagingFactory> factory;
    Microsoft::WRL::ComPtr<IWICStream> stream;
    Microsoft::WRL::ComPtr<IWICBitmapEncoder> encoder;
    Microsoft::WRL::ComPtr<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    BYTE* pixels = const_cast<BYTE*>(picture.pixels.data()); // WritePixels only reads them
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, NULL, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(factory.GetAddressOf()))) &&
           SUCCEEDED(factory->CreateStream(stream.GetAddressOf())) &&
           SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
           SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, NULL, encoder.GetAddressOf())) &&
           SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
           SUCCEEDED(encoder->CreateNewFrame(frame.GetAddressOf(), NULL)) &&
           SUCCEEDED(frame->Initialize(NULL)) && SUCCEEDED(frame->SetSize(picture.width, picture.height)) &&
           SUCCEEDED(frame->SetPixelFormat(&format)) && format == GUID_WICPixelFormat24bppBGR &&
           SUCCEEDED(frame->WritePixels(picture.height, picture.stride,
                                        static_cast<UINT>(picture.pixels.size()), pixels)) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}
