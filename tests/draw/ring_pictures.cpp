// The generated ring pictures of ring_pictures.h.
#include "draw/ring_pictures.h"

#include <math.h>
#include <stdio.h>

#include "support/seeded_random.h"

namespace {

const double Pi = 3.14159265358979323846;

int Clamp(double level) { return level < 0 ? 0 : level > 255 ? 255 : (int)(level + 0.5); }

double Uniform(Random& random) { return (random() + 0.5) / 4294967296.0; }

// Box and Muller's pair of normal deviates, the second kept for the next call.
struct Gaussian {
  Random& random;
  double spare = 0;
  bool hasSpare = false;
  explicit Gaussian(Random& source) : random(source) {}
  double operator()() {
    if (hasSpare) {
      hasSpare = false;
      return spare;
    }
    const double length = sqrt(-2 * log(Uniform(random))), angle = 2 * Pi * Uniform(random);
    spare = length * sin(angle);
    hasSpare = true;
    return length * cos(angle);
  }
};

// What a scene adds to its base level at (x, y), and its tint, from parameters drawn once.
struct Content {
  int kind;
  double cosine, sine, period, amplitude, cell;
  unsigned long long seed;
};

double ContentLevel(const Content& content, const RingScene& scene, double x, double y) {
  const double along = x * content.cosine + y * content.sine;
  switch (content.kind) {
    case SceneStripes:
      return ((long long)floor(along / content.period) & 1) ? content.amplitude : 0;
    case SceneGradient: {
      const double start = scene.x0 * content.cosine + scene.y0 * content.sine - scene.outerRadius;
      return content.amplitude * (along - start) / (2 * scene.outerRadius);
    }
    case SceneTexture: {
      const long long cx = (long long)floor(x / content.cell),
                      cy = (long long)floor(y / content.cell);
      Random cell(content.seed ^ (unsigned long long)(cx * 73856093LL) ^
                  (unsigned long long)(cy * 19349663LL));
      return Uniform(cell) * content.amplitude;
    }
    case SceneColours: {
      const int sector = (int)((atan2(y - scene.y0, x - scene.x0) + Pi) / (2 * Pi) * 6) % 6;
      return content.amplitude * sector / 5;
    }
    default:
      return 0;
  }
}

// A tint that leaves the grey level as it is: red and blue given, green balancing them.
unsigned Tinted(int grey, double red, double blue) {
  const double green = -(0.299 * red + 0.114 * blue) / 0.587;
  return (unsigned)(Clamp(grey + red) << 16 | Clamp(grey + green) << 8 | Clamp(grey + blue));
}

}  // namespace

void PaintRingScene(const RingScene& scene, unsigned* pixels, int stride) {
  Random random(scene.seed);
  Content content;
  content.kind = scene.content;
  const double angle = Uniform(random) * 2 * Pi;
  content.cosine = cos(angle);
  content.sine = sin(angle);
  content.period = 6 + random.Below(25);
  content.cell = 4 + random.Below(9);
  content.seed = random.Next();
  const int headroom = 255 - scene.surround - scene.contrast;
  content.amplitude = 60 + random.Below(101);
  if (content.amplitude > headroom) content.amplitude = headroom > 0 ? headroom : 0;
  const double red = random.Between(-40, 40), blue = random.Between(-40, 40);
  const double outer2 = scene.outerRadius * scene.outerRadius;
  const double inner2 = scene.innerRadius * scene.innerRadius;
  Gaussian gaussian(random);
  for (int y = 0; y < scene.height; y++)
    for (int x = 0; x < scene.width; x++) {
      const double dx = x - scene.x0, dy = y - scene.y0, d2 = dx * dx + dy * dy;
      const double noise = scene.noise * gaussian();
      unsigned pixel;
      if (d2 > outer2) {
        pixel = 0x010101u * (unsigned)Clamp(scene.surround + noise);
      } else if (d2 < inner2) {
        pixel = 0x010101u * (unsigned)Clamp(scene.blindSpot + noise);
      } else {
        const int grey =
            Clamp(scene.surround + scene.contrast + ContentLevel(content, scene, x, y) + noise);
        pixel = scene.content == SceneColours ? Tinted(grey, red, blue) : 0x010101u * grey;
      }
      pixels[(long long)y * stride + x] = pixel;
    }
}

RingScene RandomRingScene(int width, int height, unsigned long long seed) {
  Random random(seed);
  RingScene scene;
  scene.width = width;
  scene.height = height;
  scene.outerRadius = height / 8.0 + Uniform(random) * (height / 2.0 - height / 8.0);
  const double margin = scene.outerRadius / 2;
  scene.x0 = margin + Uniform(random) * (width - 1 - 2 * margin);
  scene.y0 = margin + Uniform(random) * (height - 1 - 2 * margin);
  scene.contrast = random.Between(40, 120);
  scene.surround = random.Between(0, 80);
  scene.innerRadius = random.Below(2) ? scene.outerRadius * (0.12 + 0.28 * Uniform(random)) : 0;
  scene.blindSpot = random.Between(0, scene.surround);
  scene.content = random.Below(SceneContentCount);
  scene.noise = 8;
  scene.seed = random.Next();
  return scene;
}

void AddRingErrors(RingErrors* errors, const RingScene& scene, double x0, double y0,
                   double outerRadius, double innerRadius) {
  const double centre = hypot(x0 - scene.x0, y0 - scene.y0);
  const double outer = fabs(outerRadius - scene.outerRadius);
  const double inner = fabs(innerRadius - scene.innerRadius);
  errors->centreMax = fmax(errors->centreMax, centre);
  errors->outerMax = fmax(errors->outerMax, outer);
  errors->innerMax = fmax(errors->innerMax, inner);
  errors->centreSum += centre;
  errors->outerSum += outer;
  errors->innerSum += inner;
  errors->count++;
}

void PrintRingErrors(const RingErrors& errors, const char* what) {
  const int n = errors.count > 0 ? errors.count : 1;
  printf(
      "%s, %d pictures: centre error max %.2f mean %.2f px; outer radius max %.2f mean %.2f;"
      " inner radius max %.2f mean %.2f\n",
      what, errors.count, errors.centreMax, errors.centreSum / n, errors.outerMax,
      errors.outerSum / n, errors.innerMax, errors.innerSum / n);
}
