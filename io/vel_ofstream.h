// VelOfstream: a standard 8-bit output stream writing a file through its own
// VelFdStreambuf. The file is always created when missing, emptied when
// present, and written in text mode (line feeds become CR LF).
#pragma once

#include <ios>
#include <ostream>

#include "io/vel_fd_streambuf.h"

struct VelString;

class VelOfstream : public std::basic_ostream<char> {
 public:
  // _O_WRONLY | _O_CREAT | _O_TRUNC | _O_TEXT, and _S_IREAD | _S_IWRITE.
  static constexpr int kOpenFlags = 0x4301;
  static constexpr int kOpenPermissions = 0x180;

  // `mode` is not consulted: the file is opened with kOpenFlags. When the
  // open fails the stream gets failbit and badbit, and output does nothing.
  VelOfstream(const VelString& path, std::ios_base::openmode mode);
  VelOfstream(const VelOfstream&) = delete;
  VelOfstream& operator=(const VelOfstream&) = delete;
  ~VelOfstream() override;

  // Flushes pending output and closes the file; errors are ignored.
  void close() { buffer_.close(); }
  bool isOpen() const { return buffer_.isOpen(); }
  VelFdStreambuf* rdbuf() { return &buffer_; }

 private:
  VelFdStreambuf buffer_;
};
