// Seeded hostile input for the damaged-input tests: damaged picture files made from sound
// ones, with the tests' seeded generator, so that a case replays from its seed. A failure
// prints the seed and the case number; KRV_SOAK_SEED and KRV_SOAK_CASES in the environment
// rerun it or run the long form; KRV_SOAK_FIRST skips the cases before it, KRV_SOAK_CASE runs
// one alone.
#ifndef KORVEL_SOAK_CORPUS_H
#define KORVEL_SOAK_CORPUS_H

#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "support/seeded_random.h"

typedef std::vector<unsigned char> Bytes;

// The environment's number, or fallback when it is unset or not a number.
unsigned long long EnvironmentNumber(const char* name, unsigned long long fallback);
const unsigned long long DefaultSeed = 20261207;  // the short forms'
// KRV_SOAK_SEED, or the seed of the short forms.
inline unsigned long long SoakSeed(void) { return EnvironmentNumber("KRV_SOAK_SEED", DefaultSeed); }

// One sound file of each kind the decoders know, and some that are no pictures at all. Needs
// GDI+ running and a current image to save from; made once per program.
struct SoundFile {
  std::string kind;  // "bmp24", "png", "wmf", "text", ...
  Bytes bytes;
};
const std::vector<SoundFile>& SoundFiles(void);
// Whether the file is a picture the decoders take; "text", "noise" and the like are not.
bool IsPicture(const SoundFile& file);
// The file name extension of a kind: ".bmp", ".png", ..., ".bin" for the non-pictures.
const char* ExtensionOf(const std::string& kind);

// The bytes as the clipboard's only content, a device-independent bitmap (CF_DIB); false when
// the clipboard would not take them.
bool OfferDib(const Bytes& bytes);

// A damaged copy of sound: truncated, bit-flipped, header-mangled or several of these at once;
// how names what was done.
Bytes Damage(const Bytes& sound, Random* random, std::string* how);

// What an image holds: pixel bytes and colour table.
struct Snapshot {
  Bytes pixels;
  std::vector<RGBQUAD> table;
  bool operator==(const Snapshot& other) const {
    return pixels == other.pixels &&
           memcmp(table.data(), other.table.data(), table.size() * sizeof(RGBQUAD)) == 0;
  }
};

Snapshot SnapshotOf(int id);
// Every byte of the pixels random (reserved bytes of 32-bit pixels 0), and for 8-bit images a
// random colour table.
void Scribble(int id, Random* random);
// Whether the page after the image's pixel memory is out of bounds for the process.
bool GuardedAfter(int id);
// Pixels above row y or left of column x: a picture placed at (x, y) never reaches them.
bool UntouchedBeforeCorner(int id, const Snapshot& before, int x, int y);

// A crash inside the library ends the program: the case under way is then printed first.
void NoteCase(const char* what, unsigned long long seed, int number);
void ForgetCase(void);

#endif
