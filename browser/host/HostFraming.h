// The browsers' native-messaging frames: a 32-bit length in the machine's byte
// order (little-endian on every Windows machine) and that many bytes of UTF-8 JSON.
// Reads outside input: any byte stream gives frames, a refusal or the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "shared/Result.h"

// A browser sends a page's text and HTML in one frame; more than this is refused.
constexpr std::size_t kMaxFrameIn = 16u * 1024u * 1024u;
// Browsers take at most 1 MB from a host.
constexpr std::size_t kMaxFrameOut = 1024u * 1024u;

// Where the frames come from: standard input in the host, a buffer in the tests.
class IByteInput {
 public:
  virtual ~IByteInput() = default;
  // Up to cbMax bytes into pBuffer; 0 at the end of the input or on a failure.
  virtual std::size_t Read(void* pBuffer, std::size_t cbMax) = 0;
};

enum class EFrameRead {
  Frame,      // *pstrFrame holds the next frame's bytes
  TooLong,    // the frame was longer than the limit; its bytes were skipped
  End,        // the input ended between frames
  Truncated,  // the input ended inside a frame
};

class CFrameReader {
 public:
  explicit CFrameReader(IByteInput& input, std::size_t cbMaxFrame = kMaxFrameIn)
      : m_input(input), m_cbMaxFrame(cbMaxFrame) {}
  EFrameRead Next(std::string* pstrFrame);

 private:
  bool ReadExactly(void* pBuffer, std::size_t cb);
  IByteInput& m_input;
  std::size_t m_cbMaxFrame;
};

// The frame for strJson: its length, then its bytes; a failure when strJson is
// longer than kMaxFrameOut (the caller sends something shorter instead).
CResultOf<std::string> EncodeFrame(const std::string& strJson);
