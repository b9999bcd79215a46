// The enumerators of the camera's pin and of its media type. Either graph thread.
#ifndef KORVEL_CAMERA_ENUMS_H
#define KORVEL_CAMERA_ENUMS_H

#include <new>

#include "camera_objects.h"

// An enumerator over the one item a camera has of a kind (its pin, its media type). Self
// supplies InterfaceId() and MakeItem(), which returns a new reference or NULL.
template <class Interface, class Item, class Self>
class OneItemEnum : public Interface {
 public:
  OneItemEnum(CameraFilter* filter, ULONG position) : filter_(filter), position_(position) {
    filter_->AddRef();
    InterlockedIncrement(&liveObjects);
  }
  ~OneItemEnum() {
    filter_->Release();
    InterlockedDecrement(&liveObjects);
  }
  STDMETHODIMP QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == Self::InterfaceId()) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = NULL;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() { return InterlockedIncrement(&references_); }
  STDMETHODIMP_(ULONG) Release() {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete static_cast<Self*>(this);
    return left;
  }
  STDMETHODIMP Next(ULONG count, Item** items, ULONG* fetched) {
    if (!items) return E_POINTER;
    ULONG given = 0;
    while (given < count && position_ < 1) {
      items[given] = static_cast<Self*>(this)->MakeItem();
      if (!items[given]) break;
      given++;
      position_++;
    }
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) {
    position_ += count;
    return position_ <= 1 ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(Interface** copy) {
    if (!copy) return E_POINTER;
    *copy = new (std::nothrow) Self(filter_, position_);
    return *copy ? S_OK : E_OUTOFMEMORY;
  }

 protected:
  CameraFilter* filter_;

 private:
  LONG references_ = 1;
  ULONG position_;
};

class PinEnum final : public OneItemEnum<IEnumPins, IPin, PinEnum> {
 public:
  using OneItemEnum::OneItemEnum;
  static const IID& InterfaceId() { return IID_IEnumPins; }
  IPin* MakeItem() {
    filter_->pin.AddRef();
    return &filter_->pin;
  }
};

// One type: RGB32 (or RGB24) at the current size and rate.
class TypeEnum final : public OneItemEnum<IEnumMediaTypes, AM_MEDIA_TYPE, TypeEnum> {
 public:
  using OneItemEnum::OneItemEnum;
  static const IID& InterfaceId() { return IID_IEnumMediaTypes; }
  AM_MEDIA_TYPE* MakeItem() {
    EnterCriticalSection(&filter_->lock);
    AM_MEDIA_TYPE* type =
        NewCameraType(filter_->width, filter_->height, filter_->duration, filter_->Bits());
    LeaveCriticalSection(&filter_->lock);
    return type;
  }
};

#endif
