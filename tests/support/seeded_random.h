// The tests' one pseudo-random generator (splitmix64): seeded, so that every run and every
// machine makes the same cases and a printed seed replays them.
#ifndef KORVEL_SEEDED_RANDOM_H
#define KORVEL_SEEDED_RANDOM_H

struct Random {
  unsigned long long state;
  explicit Random(unsigned long long seed) : state(seed) {}
  unsigned long long Next() {
    unsigned long long z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  unsigned int operator()() { return (unsigned int)(Next() >> 32); }  // 32 random bits
  int Below(int n) { return n > 0 ? (int)(Next() % (unsigned long long)n) : 0; }
  int Between(int low, int high) { return low + Below(high - low + 1); }
};

#endif
