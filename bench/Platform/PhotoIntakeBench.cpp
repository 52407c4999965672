// A 12-megapixel photo fitted to the editor's 640 x 960 pixels: our decoder (scaled DCT, then
// area averaging) against vipsthumbnail, and against our decoder reading the whole photo
// first. Each is a process of its own that reads the file and writes the fitted picture as a
// JPEG; they take turns in one session, so the machine's load falls on all alike. Prints the
// median wall and CPU time of each, their ratios to vipsthumbnail, and each one's peak
// resident memory (from the children's resource usage).
//
//   PhotoIntakeBench [--runs N]
//   PhotoIntakeBench --fit IN OUT WIDTH HEIGHT   (the child: our side of the comparison)
//   PhotoIntakeBench --fit-whole IN OUT WIDTH HEIGHT   (the same without the scaled DCT)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "Foundation/FileManager.h"
#include "Graphics/Bitmap.h"
#include "Graphics/BitmapReduction.h"
#include "Graphics/Image.h"
#include "Graphics/ImageDecoder.h"
#include "Graphics/ImageEncoder.h"

using namespace platform;

namespace {

constexpr int kWidth = 4000, kHeight = 3000;  // 12 megapixels, as a phone camera takes them
constexpr int kFitWidth = 640, kFitHeight = 960;

bool writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

int fitChild(const char* in, const char* out, int width, int height, bool whole) {
  auto data = FileManager::contentsAtPath(in, size_t{64} << 20);
  if (!data) return 2;
  Size box{double(width), double(height)};
  std::shared_ptr<Image> image;
  if (whole) {
    auto full = ImageDecoder::decodeJPEG(*data);
    if (!full) return 3;
    double f = std::min(box.width / full->pixelWidth(), box.height / full->pixelHeight());
    auto pixels = BitmapReduction::reduce(full->bitmap(), int(std::lround(full->pixelWidth() * f)),
                                          int(std::lround(full->pixelHeight() * f)));
    image = pixels ? Image::imageWithBitmap(pixels) : nullptr;
  } else {
    image = ImageDecoder::decodeFittingSize(*data, box);
  }
  if (!image) return 3;
  auto jpeg = ImageEncoder::jpegData(*image);
  return jpeg && writeFile(out, *jpeg) ? 0 : 4;
}

// Soft gradients with fine grain and some edges: about the entropy of a camera's photo.
Bytes makePhoto() {
  auto bitmap = Bitmap::create(kWidth, kHeight, PixelFormat::RGB24);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> grain(-12, 12);
  for (int y = 0; y < kHeight; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(bitmap->row(y));
    for (int x = 0; x < kWidth; ++x) {
      double u = double(x) / kWidth, v = double(y) / kHeight;
      int band = ((x / 250) + (y / 250)) % 2 ? 30 : 0;
      auto channel = [&](double value) {
        return static_cast<std::uint32_t>(std::clamp(int(value) + band + grain(random), 0, 255));
      };
      row[x] = 0xFF000000u | channel(200 * u + 30 * std::sin(y / 40.0)) << 16 |
               channel(180 * v + 20) << 8 | channel(120 + 100 * u * v);
    }
  }
  return *ImageEncoder::jpegData(*Image::imageWithBitmap(bitmap), 0.92);
}

struct Run {
  double seconds;
  double cpuSeconds;
  long peakKiB;
  int status;
};

Run runChild(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  auto cpu = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return {seconds, cpu(usage.ru_utime) + cpu(usage.ru_stime), usage.ru_maxrss,
          WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && (std::string(argv[1]) == "--fit" || std::string(argv[1]) == "--fit-whole"))
    return fitChild(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]),
                    std::string(argv[1]) == "--fit-whole");
  int runs = 11;
  if (argc == 3 && std::string(argv[1]) == "--runs") runs = std::max(1, std::atoi(argv[2]));

  auto folder =
      std::filesystem::temp_directory_path() / ("photo-intake-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string photo = (folder / "photo.jpg").string();
  Bytes jpeg = makePhoto();
  writeFile(photo, jpeg);
  std::printf("photo: %d x %d, %.1f MB JPEG; fitted to %d x %d\n", kWidth, kHeight,
              jpeg.size() / 1e6, kFitWidth, kFitHeight);

  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string width = std::to_string(kFitWidth), height = std::to_string(kFitHeight);
  struct Contender {
    std::string name, output;
    std::vector<std::string> command;
    std::vector<double> times, cpu;
    long peakKiB = 0;
  };
  std::vector<Contender> contenders = {
      {"ours", (folder / "ours.jpg").string(), {}},
      {"vipsthumbnail", (folder / "vips.jpg").string(), {}},
      // The decoder before the scaled DCT: the whole photo, then the same reduction.
      {"ours, whole decode", (folder / "whole.jpg").string(), {}},
  };
  contenders[0].command = {self, "--fit", photo, contenders[0].output, width, height};
  contenders[1].command = {"vipsthumbnail",      photo, "--size",
                           width + "x" + height, "-o",  contenders[1].output + "[Q=90]"};
  contenders[2].command = {self, "--fit-whole", photo, contenders[2].output, width, height};
  for (int i = 0; i < runs + 1; ++i) {
    for (Contender& c : contenders) {
      Run run = runChild(c.command);
      if (run.status != 0) {
        std::fprintf(stderr, "%s failed with status %d\n", c.name.c_str(), run.status);
        return 1;
      }
      if (i == 0) continue;  // the first round warms the file cache and the loaders
      c.times.push_back(run.seconds);
      c.cpu.push_back(run.cpuSeconds);
      c.peakKiB = std::max(c.peakKiB, run.peakKiB);
    }
  }
  const Contender& vips = contenders[1];
  std::printf("median of %d runs, wall and CPU time, against vipsthumbnail:\n", runs);
  for (const Contender& c : contenders) {
    auto picture = ImageDecoder::imageWithContentsOfFile(c.output);
    if (!picture) return 1;
    std::printf("  %-20s %4d x %-4d  wall %6.1f ms (%.2f)  CPU %6.1f ms (%.2f)  peak %5.1f MiB\n",
                c.name.c_str(), picture->pixelWidth(), picture->pixelHeight(),
                median(c.times) * 1e3, median(c.times) / median(vips.times), median(c.cpu) * 1e3,
                median(c.cpu) / median(vips.cpu), c.peakKiB / 1024.0);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
