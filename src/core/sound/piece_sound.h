#pragma once
// The piece sound "SARNOVI.WAV": a short wooden click of a piece set down on the board, drawn by
// a small deterministic synthesis, and the plain WAV files (16-bit PCM) it is written as and
// read back from.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace movra {

inline constexpr char kPieceSoundName[] = "SARNOVI.WAV";
inline constexpr int kPieceSoundRate = 22050;

// The click as mono samples at `sampleRate` (8000-96000): the same samples on every call. It
// lasts 0.16 s and starts at once.
std::vector<std::int16_t> SynthesizePieceSound(int sampleRate = kPieceSoundRate);

// A RIFF/WAVE file of 16-bit PCM mono samples: the 44-byte header, then the samples
// little-endian.
std::string WavFileBytes(const std::vector<std::int16_t>& samples, int sampleRate);

// Writes the synthesized click to `file`; false, with the reason in `error`, when it cannot.
bool WritePieceSound(const std::filesystem::path& file, std::string* error);

// What a WAV file holds, as far as playing it needs.
struct WavInfo {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    std::uint32_t dataBytes = 0;
    // Length in milliseconds, rounded up.
    int durationMs() const;
};

// Reads the header chunks of a PCM WAV file (format 1, 1 or 2 channels, 8 or 16 bits, a data
// chunk that the file holds). False when the file cannot be opened or is no such sound.
bool ReadWavInfo(const std::filesystem::path& file, WavInfo* info);
bool ParseWavInfo(std::string_view bytes, WavInfo* info);

}  // namespace movra
