// The Sample Grabber's interfaces, declared here because not every SDK's headers carry them.
#ifndef KORVEL_SAMPLE_GRABBER_H
#define KORVEL_SAMPLE_GRABBER_H

#include <windows.h>
#include <dshow.h>

// {C1F400A0-3F08-11D3-9F0B-006008039E37}
static const CLSID SampleGrabberClsid = {
    0xc1f400a0, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};
// {6B652FFF-11FE-4FCE-92AD-0266B5D7C78F}
static const IID SampleGrabberIid = {
    0x6b652fff, 0x11fe, 0x4fce, {0x92, 0xad, 0x02, 0x66, 0xb5, 0xd7, 0xc7, 0x8f}};
// {0579154A-2B53-4994-B0D0-E773148EFF85}
static const IID SampleGrabberCallbackIid = {
    0x0579154a, 0x2b53, 0x4994, {0xb0, 0xd0, 0xe7, 0x73, 0x14, 0x8e, 0xff, 0x85}};

struct GrabberCallback : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SampleCB(double sampleTime, IMediaSample* sample) = 0;
  virtual HRESULT STDMETHODCALLTYPE BufferCB(double sampleTime, BYTE* buffer, long length) = 0;
};

struct SampleGrabber : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE SetOneShot(BOOL oneShot) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetMediaType(const AM_MEDIA_TYPE* type) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetConnectedMediaType(AM_MEDIA_TYPE* type) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetBufferSamples(BOOL buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentBuffer(long* size, long* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentSample(IMediaSample** sample) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCallback(GrabberCallback* callback, long which) = 0;
};

#endif
