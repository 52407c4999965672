// A 12-megapixel photo fitted to the editor's 640 x 960 pixels: our decoder (scaled DCT, then
// area averaging) against vipsthumbnail, each as a process of its own that reads the file and
// writes the fitted picture as a JPEG. Both run in one session, alternating, so the machine's
// load falls on both alike. Prints the median wall and CPU time of each, their ratios, and
// each one's peak resident memory (from the children's resource usage).
//
//   PhotoIntakeBench [--runs N]
//   PhotoIntakeBench --fit IN OUT WIDTH HEIGHT   (the child: our side of the comparison)

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

int fitChild(const char* in, const char* out, int width, int height) {
  auto data = FileManager::contentsAtPath(in, size_t{64} << 20);
  if (!data) return 2;
  auto image = ImageDecoder::decodeFittingSize(*data, Size{double(width), double(height)});
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
  if (argc == 6 && std::string(argv[1]) == "--fit")
    return fitChild(argv[2], argv[3], std::atoi(argv[4]), std::atoi(argv[5]));
  int runs = 11;
  if (argc == 3 && std::string(argv[1]) == "--runs") runs = std::max(1, std::atoi(argv[2]));

  auto folder =
      std::filesystem::temp_directory_path() / ("photo-intake-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string photo = (folder / "photo.jpg").string();
  const std::string ours = (folder / "ours.jpg").string(), theirs = (folder / "vips.jpg").string();
  Bytes jpeg = makePhoto();
  writeFile(photo, jpeg);
  std::printf("photo: %d x %d, %.1f MB JPEG; fitted to %d x %d\n", kWidth, kHeight,
              jpeg.size() / 1e6, kFitWidth, kFitHeight);

  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::vector<std::string> ourCommand = {
      self, "--fit", photo, ours, std::to_string(kFitWidth), std::to_string(kFitHeight)};
  const std::vector<std::string> vipsCommand = {
      "vipsthumbnail",
      photo,
      "--size",
      std::to_string(kFitWidth) + "x" + std::to_string(kFitHeight),
      "-o",
      theirs + "[Q=90]"};
  std::vector<double> ourTimes, vipsTimes, ourCpu, vipsCpu;
  long ourPeak = 0, vipsPeak = 0;
  for (int i = 0; i < runs + 1; ++i) {
    Run a = runChild(ourCommand), b = runChild(vipsCommand);
    if (a.status != 0 || b.status != 0) {
      std::fprintf(stderr, "a child failed: ours %d, vipsthumbnail %d\n", a.status, b.status);
      return 1;
    }
    if (i == 0) continue;  // the first pair warms the file cache and the loaders
    ourTimes.push_back(a.seconds);
    vipsTimes.push_back(b.seconds);
    ourCpu.push_back(a.cpuSeconds);
    vipsCpu.push_back(b.cpuSeconds);
    ourPeak = std::max(ourPeak, a.peakKiB);
    vipsPeak = std::max(vipsPeak, b.peakKiB);
  }
  auto ourPicture = ImageDecoder::imageWithContentsOfFile(ours);
  auto vipsPicture = ImageDecoder::imageWithContentsOfFile(theirs);
  if (!ourPicture || !vipsPicture) return 1;
  std::printf("output: ours %d x %d, vipsthumbnail %d x %d\n", ourPicture->pixelWidth(),
              ourPicture->pixelHeight(), vipsPicture->pixelWidth(), vipsPicture->pixelHeight());
  double ourMedian = median(ourTimes), vipsMedian = median(vipsTimes);
  std::printf("median of %d runs: ours %.1f ms, vipsthumbnail %.1f ms, ratio %.2f\n", runs,
              ourMedian * 1e3, vipsMedian * 1e3, ourMedian / vipsMedian);
  std::printf("median CPU time: ours %.1f ms, vipsthumbnail %.1f ms, ratio %.2f\n",
              median(ourCpu) * 1e3, median(vipsCpu) * 1e3, median(ourCpu) / median(vipsCpu));
  std::printf("peak memory: ours %.1f MiB, vipsthumbnail %.1f MiB\n", ourPeak / 1024.0,
              vipsPeak / 1024.0);
  std::filesystem::remove_all(folder);
  return 0;
}
