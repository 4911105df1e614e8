// A transform of our own in Wine's filter graph: a wave file read by the system's source and
// parser, through our filter, into the Null Renderer.
#include <control.h>
#include <evcode.h>
#include <objbase.h>
#include <uuids.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include "copy_transform.h"
#include "graph_pins.h"
#include "system_filters.h"
#include "transform_input_pin.h"
#include "transform_output_pin.h"
#include "wave_file.h"

using Microsoft::WRL::ComPtr;

namespace brevin::test {
namespace {

TEST(FilterGraph, WaveAudioFlowsThroughOurTransformToTheRenderer) {
  const WaveFile wave(2, 44100, 16, 2 * 44100);  // two seconds
  ASSERT_TRUE(wave.Written());
  unsigned long long sum = 0;
  for (BYTE b : wave.Audio()) sum += b;

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
    ASSERT_EQ(graph->AddSourceFilter(wave.Path().c_str(), L"source", &source), S_OK);
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

    EXPECT_EQ(made->bytes, static_cast<long long>(wave.Audio().size()));
    EXPECT_EQ(made->byteSum, sum);
    FILTER_STATE state;
    EXPECT_EQ(copy->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);
    EXPECT_EQ(graph->RemoveFilter(copy.Get()), S_OK);
  }
}

}  // namespace
}  // namespace brevin::test
