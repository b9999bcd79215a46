/* A V4L2 capture device made in user space, for the tests: preloaded into Wine (LD_PRELOAD), it
   makes /dev/video0 (and more) look like a camera that delivers BGR24 frames by read(). Wine
   lists devices with plain stat, open and VIDIOC_QUERYCAP, and its capture filter loads
   libv4l2.so.0 for v4l2_open, v4l2_ioctl, v4l2_read and v4l2_close: this library carries that
   soname, so the loader hands Wine the preloaded copy. Every other path and descriptor goes to
   the C library untouched. Runs on whatever Linux thread Wine calls from.

   Environment:
     KRV_V4L2_DEVICES     devices /dev/video0 .. N-1 (1 to 8; 1 when unset)
     KRV_V4L2_SIZES       the frame sizes offered, "640x480,320x240" when unset
     KRV_V4L2_FPS         frames per second (1 to 1000; 30 when unset)
     KRV_V4L2_STOP_AFTER  each device stops delivering after this many frames: reads find no
                          frame (EAGAIN), as when a camera stalls
     KRV_V4L2_FAIL_AFTER  each device is unplugged after this many frames: reads fail with
                          ENODEV, and the device node is gone
     KRV_V4L2_RESUME      a path: while that file exists, the two faults above are lifted
     KRV_V4L2_SLOW_MS     each frame comes this many milliseconds late
     KRV_V4L2_LOG         a path: one line per device call, appended ("open 0", "ioctl 0 QUERYCAP",
                          "read 0 frame 12 640x480", "read 0 ENODEV", ...)
   and the file standin.conf beside this library: lines NAME=value that set the variables above
   when a process starts. Wine gives a program it starts the Linux environment of Wine, not the
   Windows one its parent chose, so a test sets up the device of a program it is about to start
   through that file.
   The picture is that of standin_pattern.h, rows top-down, bytes B, G, R, no padding. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <time.h>
#include <unistd.h>

#include "standin_pattern.h"

enum { MaxDevices = 8, MaxSizes = 16, MaxFds = 4096, StallNapNs = 5000000 };

struct Size {
  unsigned width, height;
};

struct Stream {  /* one open descriptor of a device */
  int open, device, nonblocking;
  unsigned frames;      /* delivered on this descriptor */
  long long startNs;    /* its first read */
};

static struct {
  int devices, fps, slowMs;
  long stopAfter, failAfter;  /* -1: never */
  char resume[512];
  struct Size sizes[MaxSizes];
  int sizeCount;
  int logFd;
} config;

static struct Size current[MaxDevices];     /* each device's format */
static unsigned delivered[MaxDevices];     /* frames each device delivered, for the pattern */
static struct Stream streams[MaxFds];
static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;

static int (*realOpen)(const char*, int, ...);
static int (*realClose)(int);
static int (*realIoctl)(int, unsigned long, ...);
static ssize_t (*realRead)(int, void*, size_t);
static int (*realStat)(const char*, struct stat*);

static long EnvNumber(const char* name, long fallback, long low, long high) {
  const char* text = getenv(name);
  if (!text || !*text) return fallback;
  char* end = NULL;
  long value = strtol(text, &end, 10);
  if (*end || value < low || value > high) return fallback;
  return value;
}

static void ReadSizes(void) {
  const char* text = getenv("KRV_V4L2_SIZES");
  if (!text || !*text) text = "640x480,320x240";
  config.sizeCount = 0;
  while (*text && config.sizeCount < MaxSizes) {
    unsigned width = 0, height = 0;
    int used = 0;
    if (sscanf(text, "%ux%u%n", &width, &height, &used) != 2) break;
    if (width > 0 && width <= 4096 && height > 0 && height <= 4096) {
      config.sizes[config.sizeCount].width = width;
      config.sizes[config.sizeCount].height = height;
      config.sizeCount++;
    }
    text += used;
    if (*text == ',') text++;
  }
  if (config.sizeCount == 0) {
    config.sizes[0].width = 640;
    config.sizes[0].height = 480;
    config.sizeCount = 1;
  }
}

static int initialised;

static void ReadConfigFile(void) {
  Dl_info self;
  if (!dladdr((void*)ReadConfigFile, &self) || !self.dli_fname) return;
  char path[1024];
  snprintf(path, sizeof path, "%s", self.dli_fname);
  char* slash = strrchr(path, '/');
  snprintf(slash ? slash + 1 : path, sizeof path - (size_t)(slash ? slash + 1 - path : 0),
           "standin.conf");
  int fd = realOpen(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  char text[4096];
  ssize_t length = realRead(fd, text, sizeof text - 1);
  realClose(fd);
  if (length <= 0) return;
  text[length] = '\0';
  for (char* line = strtok(text, "\r\n"); line; line = strtok(NULL, "\r\n")) {
    char* equals = strchr(line, '=');
    if (!equals || strncmp(line, "KRV_V4L2_", 9) != 0) continue;
    *equals = '\0';
    setenv(line, equals + 1, 1);
  }
}

__attribute__((constructor)) static void Initialise(void) {
  if (initialised) return;
  initialised = 1;
  realOpen = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, "open");
  realClose = (int (*)(int))dlsym(RTLD_NEXT, "close");
  realIoctl = (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, "ioctl");
  realRead = (ssize_t(*)(int, void*, size_t))dlsym(RTLD_NEXT, "read");
  realStat = (int (*)(const char*, struct stat*))dlsym(RTLD_NEXT, "stat");
  ReadConfigFile();
  config.devices = (int)EnvNumber("KRV_V4L2_DEVICES", 1, 1, MaxDevices);
  config.fps = (int)EnvNumber("KRV_V4L2_FPS", 30, 1, 1000);
  config.slowMs = (int)EnvNumber("KRV_V4L2_SLOW_MS", 0, 0, 60000);
  config.stopAfter = EnvNumber("KRV_V4L2_STOP_AFTER", -1, 0, 1L << 30);
  config.failAfter = EnvNumber("KRV_V4L2_FAIL_AFTER", -1, 0, 1L << 30);
  const char* resume = getenv("KRV_V4L2_RESUME");
  snprintf(config.resume, sizeof config.resume, "%s", resume ? resume : "");
  ReadSizes();
  for (int i = 0; i < MaxDevices; i++) current[i] = config.sizes[0];
  const char* log = getenv("KRV_V4L2_LOG");
  config.logFd = log && *log ? realOpen(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
}

static void Log(const char* format, ...) {
  if (config.logFd < 0) return;
  char line[160];
  va_list args;
  va_start(args, format);
  int length = vsnprintf(line, sizeof line - 1, format, args);
  va_end(args);
  if (length < 0) return;
  if (length > (int)sizeof line - 2) length = (int)sizeof line - 2;
  line[length++] = '\n';
  ssize_t ignored = write(config.logFd, line, (size_t)length);
  (void)ignored;
}

static long long NowNs(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

static void Nap(long long ns) {
  if (ns <= 0) return;
  struct timespec wait = {(time_t)(ns / 1000000000LL), (long)(ns % 1000000000LL)};
  nanosleep(&wait, NULL);
}

/* The device number of a path /dev/videoN this stand-in serves; -1 for any other path. */
static int DeviceOfPath(const char* path) {
  if (!path || strncmp(path, "/dev/video", 10) != 0) return -1;
  const char* digits = path + 10;
  if (digits[0] < '0' || digits[0] > '9' || digits[1] != '\0') return -1;
  int device = digits[0] - '0';
  return device < config.devices ? device : -1;
}

static int Resumed(void) {
  struct stat ignored;
  return config.resume[0] && realStat(config.resume, &ignored) == 0;
}

static int Unplugged(int device) {
  return config.failAfter >= 0 && delivered[device] >= (unsigned long)config.failAfter &&
         !Resumed();
}

static int Stalled(int device) {
  return config.stopAfter >= 0 && delivered[device] >= (unsigned long)config.stopAfter &&
         !Resumed();
}

static struct Stream* StreamOf(int fd) {
  if (fd < 0 || fd >= MaxFds || !streams[fd].open) return NULL;
  return &streams[fd];
}

/* ---- Device listing through plain libc ---- */

int stat(const char* path, struct stat* buffer) {
  if (!initialised) Initialise();  /* called before the constructors ran */
  int device = DeviceOfPath(path);
  if (device < 0) return realStat(path, buffer);
  if (Unplugged(device)) {
    errno = ENOENT;
    return -1;
  }
  memset(buffer, 0, sizeof *buffer);
  buffer->st_mode = S_IFCHR | 0660;
  buffer->st_rdev = makedev(81, device);
  buffer->st_nlink = 1;
  return 0;
}

static int OpenDevice(int device, int flags) {
  if (Unplugged(device)) {
    errno = ENOENT;
    return -1;
  }
  /* A real descriptor, so that fcntl and the like work on it. */
  int fd = realOpen("/dev/null", O_RDWR | (flags & O_CLOEXEC));
  if (fd < 0) return -1;
  if (fd >= MaxFds) {
    realClose(fd);
    errno = EMFILE;
    return -1;
  }
  pthread_mutex_lock(&lock);
  streams[fd].open = 1;
  streams[fd].device = device;
  streams[fd].nonblocking = (flags & O_NONBLOCK) != 0;
  streams[fd].frames = 0;
  streams[fd].startNs = 0;
  pthread_mutex_unlock(&lock);
  Log("open %d", device);
  return fd;
}

int open(const char* path, int flags, ...) {
  if (!initialised) Initialise();  /* called before the constructors ran */
  mode_t mode = 0;
  if (flags & (O_CREAT | O_TMPFILE)) {
    va_list args;
    va_start(args, flags);
    mode = va_arg(args, mode_t);
    va_end(args);
  }
  int device = DeviceOfPath(path);
  if (device < 0) return realOpen(path, flags, mode);
  return OpenDevice(device, flags);
}

int close(int fd) {
  if (!initialised) Initialise();  /* called before the constructors ran */
  struct Stream* stream = StreamOf(fd);
  if (stream) {
    Log("close %d", stream->device);
    pthread_mutex_lock(&lock);
    stream->open = 0;
    pthread_mutex_unlock(&lock);
  }
  return realClose(fd);
}

/* ---- The ioctls Wine issues ---- */

static int Fail(int code) {
  errno = code;
  return -1;
}

static const struct Size* NearestSize(unsigned width, unsigned height) {
  const struct Size* best = &config.sizes[0];
  long bestDistance = -1;
  for (int i = 0; i < config.sizeCount; i++) {
    long distance = labs((long)config.sizes[i].width - (long)width) +
                    labs((long)config.sizes[i].height - (long)height);
    if (bestDistance < 0 || distance < bestDistance) {
      best = &config.sizes[i];
      bestDistance = distance;
    }
  }
  return best;
}

static void DescribeFormat(struct v4l2_format* format, struct Size size) {
  memset(&format->fmt.pix, 0, sizeof format->fmt.pix);
  format->fmt.pix.width = size.width;
  format->fmt.pix.height = size.height;
  format->fmt.pix.pixelformat = V4L2_PIX_FMT_BGR24;
  format->fmt.pix.field = V4L2_FIELD_NONE;
  format->fmt.pix.bytesperline = size.width * 3;
  format->fmt.pix.sizeimage = size.width * size.height * 3;
  format->fmt.pix.colorspace = V4L2_COLORSPACE_SRGB;
}

static int QueryCapabilities(int device, struct v4l2_capability* caps) {
  memset(caps, 0, sizeof *caps);
  snprintf((char*)caps->driver, sizeof caps->driver, "krv-standin");
  snprintf((char*)caps->card, sizeof caps->card, "KORVEL stand-in %d", device);
  snprintf((char*)caps->bus_info, sizeof caps->bus_info, "platform:standin-%d", device);
  caps->version = 0x010000;
  caps->device_caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_READWRITE;
  caps->capabilities = caps->device_caps | V4L2_CAP_DEVICE_CAPS;
  return 0;
}

static int FrameSizes(struct v4l2_frmsizeenum* sizes) {
  if (sizes->pixel_format != V4L2_PIX_FMT_BGR24 || sizes->index >= (unsigned)config.sizeCount)
    return Fail(EINVAL);
  sizes->type = V4L2_FRMSIZE_TYPE_DISCRETE;
  sizes->discrete.width = config.sizes[sizes->index].width;
  sizes->discrete.height = config.sizes[sizes->index].height;
  return 0;
}

static int FrameIntervals(struct v4l2_frmivalenum* intervals) {
  const struct Size* size = NearestSize(intervals->width, intervals->height);
  if (intervals->pixel_format != V4L2_PIX_FMT_BGR24 || intervals->index != 0 ||
      size->width != intervals->width || size->height != intervals->height)
    return Fail(EINVAL);
  intervals->type = V4L2_FRMIVAL_TYPE_DISCRETE;
  intervals->discrete.numerator = 1;
  intervals->discrete.denominator = (unsigned)config.fps;
  return 0;
}

/* Wine passes request codes as int, sign-extended to long: only the low 32 bits count. */
static int DeviceIoctl(struct Stream* stream, unsigned long request, void* argument) {
  const unsigned code = (unsigned)request;
  const int device = stream->device;
  if (Unplugged(device)) return Fail(ENODEV);
  if (code == (unsigned)VIDIOC_QUERYCAP) {
    Log("ioctl %d QUERYCAP", device);
    return QueryCapabilities(device, (struct v4l2_capability*)argument);
  }
  if (code == (unsigned)VIDIOC_G_FMT || code == (unsigned)VIDIOC_TRY_FMT ||
      code == (unsigned)VIDIOC_S_FMT) {
    struct v4l2_format* format = (struct v4l2_format*)argument;
    const char* name = code == (unsigned)VIDIOC_G_FMT   ? "G_FMT"
                       : code == (unsigned)VIDIOC_TRY_FMT ? "TRY_FMT"
                                                          : "S_FMT";
    if (format->type != V4L2_BUF_TYPE_VIDEO_CAPTURE) return Fail(EINVAL);
    struct Size size = current[device];
    if (code != (unsigned)VIDIOC_G_FMT)
      size = *NearestSize(format->fmt.pix.width, format->fmt.pix.height);
    if (code == (unsigned)VIDIOC_S_FMT) current[device] = size;
    DescribeFormat(format, size);
    Log("ioctl %d %s %ux%u", device, name, size.width, size.height);
    return 0;
  }
  if (code == (unsigned)VIDIOC_ENUM_FRAMESIZES) {
    Log("ioctl %d ENUM_FRAMESIZES", device);
    return FrameSizes((struct v4l2_frmsizeenum*)argument);
  }
  if (code == (unsigned)VIDIOC_ENUM_FRAMEINTERVALS) {
    Log("ioctl %d ENUM_FRAMEINTERVALS", device);
    return FrameIntervals((struct v4l2_frmivalenum*)argument);
  }
  if (code == (unsigned)VIDIOC_QUERYCTRL || code == (unsigned)VIDIOC_G_CTRL ||
      code == (unsigned)VIDIOC_S_CTRL) {
    Log("ioctl %d CTRL", device);
    return Fail(EINVAL);  /* no brightness, contrast, hue or saturation */
  }
  Log("ioctl %d %#x", device, code);
  return Fail(ENOTTY);
}

int ioctl(int fd, unsigned long request, ...) {
  if (!initialised) Initialise();  /* called before the constructors ran */
  va_list args;
  va_start(args, request);
  void* argument = va_arg(args, void*);
  va_end(args);
  struct Stream* stream = StreamOf(fd);
  if (!stream) return realIoctl(fd, request, argument);
  return DeviceIoctl(stream, request, argument);
}

/* ---- Frames ---- */

static void FillFrame(unsigned char* out, size_t bytes, struct Size size, unsigned frame,
                      int device) {
  size_t at = 0;
  for (unsigned y = 0; y < size.height; y++)
    for (unsigned x = 0; x < size.width && at + 3 <= bytes; x++, at += 3) {
      unsigned pixel = StandinPixel((int)x, (int)y, frame, device);
      out[at] = (unsigned char)pixel;
      out[at + 1] = (unsigned char)(pixel >> 8);
      out[at + 2] = (unsigned char)(pixel >> 16);
    }
}

/* Frame k of a descriptor is due k frame periods after its first read. A non-blocking read
   before that finds no frame (EAGAIN) after a nap of at most 5 ms, so that Wine's reading
   thread, which asks again at once, does not spin a core. */
static ssize_t ReadFrame(struct Stream* stream, void* buffer, size_t bytes) {
  const int device = stream->device;
  if (Unplugged(device)) {
    Log("read %d ENODEV", device);
    return Fail(ENODEV);
  }
  for (;;) {
    long long now = NowNs();
    if (stream->startNs == 0) stream->startNs = now;
    long long due = stream->startNs + (long long)stream->frames * 1000000000LL / config.fps;
    long long wait = Stalled(device) ? StallNapNs : due - now;
    if (wait <= 0) break;
    if (stream->nonblocking) {
      Nap(wait < StallNapNs ? wait : StallNapNs);
      if (Stalled(device) || NowNs() < due) return Fail(EAGAIN);
      break;
    }
    Nap(wait < StallNapNs ? wait : StallNapNs);
  }
  Nap((long long)config.slowMs * 1000000LL);
  struct Size size = current[device];
  size_t frameBytes = (size_t)size.width * size.height * 3;
  if (bytes > frameBytes) bytes = frameBytes;
  pthread_mutex_lock(&lock);
  unsigned frame = delivered[device]++;
  pthread_mutex_unlock(&lock);
  stream->frames++;
  FillFrame((unsigned char*)buffer, bytes, size, frame, device);
  Log("read %d frame %u %ux%u", device, frame, size.width, size.height);
  return (ssize_t)bytes;
}

ssize_t read(int fd, void* buffer, size_t bytes) {
  if (!initialised) Initialise();  /* called before the constructors ran */
  struct Stream* stream = StreamOf(fd);
  if (!stream) return realRead(fd, buffer, bytes);
  return ReadFrame(stream, buffer, bytes);
}

/* ---- libv4l2's calls, as Wine's capture filter makes them ---- */

/* Only devices are opened here, never created: no mode follows the flags. */
int v4l2_open(const char* path, int flags, ...) {
  return open(path, flags & ~(O_CREAT | O_TMPFILE));
}

int v4l2_close(int fd) { return close(fd); }

int v4l2_ioctl(int fd, unsigned long request, ...) {
  va_list args;
  va_start(args, request);
  void* argument = va_arg(args, void*);
  va_end(args);
  return ioctl(fd, request, argument);
}

ssize_t v4l2_read(int fd, void* buffer, size_t bytes) { return read(fd, buffer, bytes); }
