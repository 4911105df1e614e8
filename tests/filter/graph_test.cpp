// A transform of our own in Wine's filter graph: a wave file read by the system's source and
// parser, through our filter, into the Null Renderer.
#include <control.h>
#include <evcode.h>
#include <objbase.h>
#include <uuids.h>
#include <wrl/client.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "copy_transform.h"
#include "transform_input_pin.h"
#include "transform_output_pin.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

const CLSID CLSID_NullRendererFilter = {
    0xC1F400A4, 0x3F08, 0x11D3, {0x9F, 0x0B, 0x00, 0x60, 0x08, 0x03, 0x9E, 0x37}};

void PutLittleEndian(std::vector<char>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// Writes a 16-bit stereo 44.1 kHz PCM wave file of `dataBytes` bytes; returns the sum of the
// audio bytes.
unsigned long long WriteWave(const std::wstring& path, uint32_t dataBytes) {
  std::vector<char> file;
  file.insert(file.end(), {'R', 'I', 'F', 'F'});
  PutLittleEndian(file, 36 + dataBytes, 4);
  file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLittleEndian(file, 16, 4);
  PutLittleEndian(file, 1, 2);           // PCM
  PutLittleEndian(file, 2, 2);           // channels
  PutLittleEndian(file, 44100, 4);       // sample rate
  PutLittleEndian(file, 44100 * 4, 4);   // byte rate
  PutLittleEndian(file, 4, 2);           // block align
  PutLittleEndian(file, 16, 2);          // bits
  file.insert(file.end(), {'d', 'a', 't', 'a'});
  PutLittleEndian(file, dataBytes, 4);
  unsigned long long sum = 0;
  for (uint32_t i = 0; i < dataBytes; ++i) {
    const auto byte = static_cast<unsigned char>((i * 31 + i / 256) & 0xFF);
    file.push_back(static_cast<char>(byte));
    sum += byte;
  }
  std::ofstream(path.c_str(), std::ios::binary).write(file.data(),
                                                      static_cast<std::streamsize>(file.size()));
  return sum;
}

std::wstring TempWavePath() {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + L"brevin_graph_test_" + std::to_wstring(GetCurrentProcessId()) + L".wav";
}

ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION wanted) {
  ComPtr<IEnumPins> pins;
  filter->EnumPins(&pins);
  ComPtr<IPin> pin;
  while (pins && pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    PIN_DIRECTION direction;
    if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted) return pin;
  }
  return nullptr;
}

TEST(FilterGraph, WaveAudioFlowsThroughOurTransformToTheRenderer) {
  const std::wstring path = TempWavePath();
  const uint32_t dataBytes = 44100 * 4 * 2;  // two seconds
  const unsigned long long sum = WriteWave(path, dataBytes);

  auto* made = new CopyTransform;
  ComPtr<IBaseFilter> copy;
  ASSERT_EQ(made->InnerQueryInterface(IID_PPV_ARGS(&copy)), S_OK);
  {
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(&graph)),
              S_OK);
    ASSERT_EQ(graph->AddFilter(copy.Get(), L"copy"), S_OK);
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(path.c_str(), L"source", &source), S_OK);
    ComPtr<IBaseFilter> renderer;
    ASSERT_EQ(CoCreateInstance(CLSID_NullRendererFilter, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(&renderer)),
              S_OK);
    ASSERT_EQ(graph->AddFilter(renderer.Get(), L"renderer"), S_OK);

    // The graph puts the wave parser between the file source and our input.
    ComPtr<IPin> sourceOut = FirstPin(source.Get(), PINDIR_OUTPUT);
    ASSERT_TRUE(sourceOut);
    ComPtr<IPin> copyIn;
    ComPtr<IPin> copyOut;
    ASSERT_EQ(copy->FindPin(L"In", &copyIn), S_OK);
    ASSERT_EQ(copy->FindPin(L"Out", &copyOut), S_OK);
    ASSERT_EQ(graph->Connect(sourceOut.Get(), copyIn.Get()), S_OK);
    ASSERT_EQ(graph->Connect(copyOut.Get(), FirstPin(renderer.Get(), PINDIR_INPUT).Get()), S_OK);
    EXPECT_TRUE(IsEqualGUID(made->OutputPin()->ConnectionType().Subtype(), MEDIASUBTYPE_PCM));

    // No clock: the renderer takes samples as fast as they come.
    ComPtr<IMediaFilter> timing;
    ASSERT_EQ(graph.As(&timing), S_OK);
    ASSERT_EQ(timing->SetSyncSource(nullptr), S_OK);
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEvent> events;
    ASSERT_EQ(graph.As(&control), S_OK);
    ASSERT_EQ(graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(events.GetAddressOf())),
              S_OK);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    long code = 0;
    EXPECT_EQ(events->WaitForCompletion(20000, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(control->Stop(), S_OK);

    EXPECT_EQ(made->bytes, dataBytes);
    EXPECT_EQ(made->byteSum, sum);
    FILTER_STATE state;
    EXPECT_EQ(copy->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);
    EXPECT_EQ(graph->RemoveFilter(copy.Get()), S_OK);
  }
  DeleteFileW(path.c_str());
}

}  // namespace
}  // namespace brevin::test
