// The row stride of a device-independent bitmap, alone so that code outside the framework (the
// virtual camera) shares the one formula without the framework's headers.
#ifndef KORVEL_RUNTIME_DIB_STRIDE_H
#define KORVEL_RUNTIME_DIB_STRIDE_H

// Bytes of one row of width x bitCount bits: whole 32-bit words.
inline long long DibStride(int width, int bitCount) {
  return ((long long)width * bitCount + 31) / 32 * 4;
}

#endif
