// veltra_psnr A.png B.png: the peak signal-to-noise ratio of B against A over the red, green and
// blue of every pixel, in decibels ("inf" when they are equal). Exit code 2 when either cannot be
// read or their sizes differ.

#include "app/image/PngFile.h"

#include <cmath>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: veltra_psnr A.png B.png\n");
        return 2;
    }
    const auto a = png::Read(argv[1]), b = png::Read(argv[2]);
    if (!a || !b || a->Width != b->Width || a->Height != b->Height) {
        std::fprintf(stderr, "veltra_psnr: cannot compare %s and %s\n", argv[1], argv[2]);
        return 2;
    }
    double squares = 0.0;
    std::size_t samples = 0;
    for (std::size_t i = 0; i < a->Rgba.size(); ++i)
        if (i % 4 != 3) {
            const double difference = static_cast<double>(a->Rgba[i]) - static_cast<double>(b->Rgba[i]);
            squares += difference * difference;
            ++samples;
        }
    const double mean = squares / static_cast<double>(samples);
    if (mean == 0.0)
        std::printf("inf\n");
    else
        std::printf("%.2f\n", 10.0 * std::log10(255.0 * 255.0 / mean));
    return 0;
}
