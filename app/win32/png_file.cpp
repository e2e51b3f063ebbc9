#include "app/win32/png_file.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <wincodec.h>

#include <cstdio>
#include <vector>

#include "app/win32/win32_text.h"
#include "settings/utf.h"

namespace pelmora {
namespace {

// Releases a COM interface when it goes.
template <typename Interface>
class Held {
 public:
  Held() = default;
  ~Held() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  Interface* operator->() const { return pointer_; }
  Interface* get() const { return pointer_; }
  Interface** out() { return &pointer_; }

 private:
  Interface* pointer_ = nullptr;
};

std::string failed(const std::string& path, const char* what, HRESULT result) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
  return path + ": cannot write the PNG (" + what + " failed, " + code + ")";
}

// 24 bits a pixel, rows padded to four bytes: the layout every PNG encoder of WIC takes.
std::vector<BYTE> bgr24Rows(const Bgrx32Picture& picture, UINT stride) {
  std::vector<BYTE> rows(static_cast<std::size_t>(stride) * static_cast<std::size_t>(picture.height));
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const std::size_t from = (static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                                static_cast<std::size_t>(x)) * 4;
      const std::size_t to = static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 3;
      for (std::size_t c = 0; c < 3; ++c) rows[to + c] = picture.pixels[from + c];
    }
  }
  return rows;
}

}  // namespace

std::string writePng(const std::string& path, const Bgrx32Picture& picture) {
  const std::size_t expected = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 4;
  if (picture.width <= 0 || picture.height <= 0 || picture.pixels.size() != expected)
    return path + ": cannot write the PNG (the picture is empty or incomplete)";
  // Balanced below when this call started COM on the thread.
  const HRESULT started = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::string problem;
  {
    Held<IWICImagingFactory> factory;
    Held<IWICStream> stream;
    Held<IWICBitmapEncoder> encoder;
    Held<IWICBitmapFrameEncode> frame;
    const std::wstring file = wide(utf16FromUtf8(path));
    const auto width = static_cast<UINT>(picture.width), height = static_cast<UINT>(picture.height);
    const UINT stride = (width * 3 + 3) & ~3u;
    std::vector<BYTE> rows = bgr24Rows(picture, stride);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HRESULT result = S_OK;
    const char* step = "";
    // Each call only while all before it succeeded; `step` names the one that failed.
    const auto then = [&](const char* what, auto call) {
      if (FAILED(result)) return;
      step = what;
      result = call();
    };
    then("the imaging component", [&] {
      return ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.out()));
    });
    then("opening the file", [&] { return factory->CreateStream(stream.out()); });
    then("opening the file", [&] { return stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE); });
    then("the PNG encoder", [&] { return factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out()); });
    then("the PNG encoder", [&] { return encoder->Initialize(stream.get(), WICBitmapEncoderNoCache); });
    then("the PNG encoder", [&] { return encoder->CreateNewFrame(frame.out(), nullptr); });
    then("the PNG encoder", [&] { return frame->Initialize(nullptr); });
    then("the PNG encoder", [&] { return frame->SetSize(width, height); });
    then("the PNG encoder", [&] {
      const HRESULT set = frame->SetPixelFormat(&format);
      return FAILED(set) || IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) ? set : E_NOTIMPL;
    });
    then("encoding", [&] { return frame->WritePixels(height, stride, static_cast<UINT>(rows.size()), rows.data()); });
    then("encoding", [&] { return frame->Commit(); });
    then("writing the file", [&] { return encoder->Commit(); });
    if (FAILED(result)) problem = failed(path, step, result);
  }
  if (SUCCEEDED(started)) ::CoUninitialize();
  return problem;
}

}  // namespace pelmora
