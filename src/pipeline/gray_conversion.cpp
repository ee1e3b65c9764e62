// The gray conversion is the heaviest work per frame: 32 pixels at a time
// with AVX2 where the processor has it, one at a time otherwise. Both give
// exactly grayOf for every pixel.
#include <immintrin.h>

#include "pipeline/frame_pipeline.h"

namespace pipeline {
namespace {

void convertPixelsReversed(const std::uint8_t* pixels, std::int32_t first, std::int32_t count,
                           std::uint8_t* gray, std::uint8_t* copy) {
    for (std::int32_t i = first; i < count; ++i) {
        const std::uint8_t* pixel = pixels + 3 * i;
        const std::uint8_t value = grayOf(pixel[0], pixel[1], pixel[2]);
        gray[count - 1 - i] = value;
        copy[count - 1 - i] = value;
    }
}

// The same 16-byte shuffle in both lanes.
__attribute__((target("avx2"))) __m256i laneMask(char b0, char b1, char b2, char b3, char b4, char b5,
                                                 char b6, char b7, char b8, char b9, char b10, char b11,
                                                 char b12, char b13, char b14, char b15) {
    return _mm256_broadcastsi128_si256(
        _mm_setr_epi8(b0, b1, b2, b3, b4, b5, b6, b7, b8, b9, b10, b11, b12, b13, b14, b15));
}

// Sixteen bytes of one 48-byte chunk in the low lane, of the next chunk in
// the high lane.
__attribute__((target("avx2"))) __m256i loadTwoChunks(const std::uint8_t* chunk, int offset) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk + offset));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk + 48 + offset));
    return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
}

// Eight pixels per lane as 16-bit gray values: blue and green arrive
// interleaved and are weighted in one multiply-add; red arrives zero-extended.
__attribute__((target("avx2"))) __m256i grayOfEight(__m256i first, __m256i second, __m256i blueGreenFirst,
                                                    __m256i blueGreenSecond, __m256i redFirst,
                                                    __m256i redSecond) {
    const __m256i weights = _mm256_set1_epi16(0x0502);
    const __m256i blueGreen = _mm256_or_si256(_mm256_shuffle_epi8(first, blueGreenFirst),
                                              _mm256_shuffle_epi8(second, blueGreenSecond));
    const __m256i red =
        _mm256_or_si256(_mm256_shuffle_epi8(first, redFirst), _mm256_shuffle_epi8(second, redSecond));
    return _mm256_srli_epi16(_mm256_add_epi16(_mm256_maddubs_epi16(blueGreen, weights), red), 3);
}

__attribute__((target("avx2"))) std::int32_t convertBlocksReversed(const std::uint8_t* pixels,
                                                                   std::int32_t count, std::uint8_t* gray,
                                                                   std::uint8_t* copy) {
    // In a 48-byte chunk, pixels 0 to 7 lie in bytes 0 to 23 (loads a and b),
    // pixels 8 to 15 in bytes 24 to 47 (loads b and c).
    const __m256i lowBlueGreenA = laneMask(0, 1, 3, 4, 6, 7, 9, 10, 12, 13, 15, -1, -1, -1, -1, -1);
    const __m256i lowBlueGreenB = laneMask(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 2, 3, 5, 6);
    const __m256i lowRedA = laneMask(2, -1, 5, -1, 8, -1, 11, -1, 14, -1, -1, -1, -1, -1, -1, -1);
    const __m256i lowRedB = laneMask(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1, -1, 4, -1, 7, -1);
    const __m256i highBlueGreenB = laneMask(8, 9, 11, 12, 14, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i highBlueGreenC = laneMask(-1, -1, -1, -1, -1, -1, 1, 2, 4, 5, 7, 8, 10, 11, 13, 14);
    const __m256i highRedB = laneMask(10, -1, 13, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m256i highRedC = laneMask(-1, -1, -1, -1, 0, -1, 3, -1, 6, -1, 9, -1, 12, -1, 15, -1);
    const __m256i reversed = laneMask(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);

    const std::int32_t blocks = count / 32;
    for (std::int32_t block = 0; block < blocks; ++block) {
        const std::uint8_t* chunk = pixels + 96 * block;
        const __m256i a = loadTwoChunks(chunk, 0);
        const __m256i b = loadTwoChunks(chunk, 16);
        const __m256i c = loadTwoChunks(chunk, 32);
        const __m256i low = grayOfEight(a, b, lowBlueGreenA, lowBlueGreenB, lowRedA, lowRedB);
        const __m256i high = grayOfEight(b, c, highBlueGreenB, highBlueGreenC, highRedB, highRedC);
        // Each lane reversed, then the lanes swapped: the last pixel first.
        const __m256i laneReversed = _mm256_shuffle_epi8(_mm256_packus_epi16(low, high), reversed);
        const __m256i values = _mm256_permute4x64_epi64(laneReversed, 0x4E);
        const std::int32_t target = count - 32 * (block + 1);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(gray + target), values);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(copy + target), values);
    }
    return blocks * 32;
}

bool processorHasAvx2() {
    static const bool hasIt = __builtin_cpu_supports("avx2");
    return hasIt;
}

}  // namespace

void convertReversed(const std::uint8_t* pixels, std::int32_t count, std::uint8_t* gray, std::uint8_t* copy) {
    const std::int32_t done = processorHasAvx2() ? convertBlocksReversed(pixels, count, gray, copy) : 0;
    convertPixelsReversed(pixels, done, count, gray, copy);
}

void convertReversedOnePixelAtATime(const std::uint8_t* pixels, std::int32_t count, std::uint8_t* gray,
                                    std::uint8_t* copy) {
    convertPixelsReversed(pixels, 0, count, gray, copy);
}

}  // namespace pipeline
