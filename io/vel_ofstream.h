// VelOfstream: a standard 8-bit output stream writing a file through its own
// VelFdStreambuf. The open mode says what a standard output file stream's
// would: out (or out | trunc) creates the file when missing and empties it
// when present, app appends, in | out opens an existing file; without binary
// the file is written in text mode (line feeds become CR LF). Only a regular
// file is opened; a FIFO, a device or a directory leaves the stream failed.
#pragma once

#include <ios>
#include <ostream>

#include "io/vel_fd_streambuf.h"
#include "platform/files.h"

struct VelString;

class VelOfstream : public std::basic_ostream<char> {
 public:
  // The flags of out | trunc, and the permission every file is created with
  // (read and write for its owner alone on POSIX).
  static constexpr int kOpenFlags =
      cadence::port::kO_WRONLY | cadence::port::kO_CREAT | cadence::port::kO_TRUNC | cadence::port::kO_TEXT;
  static constexpr int kOpenPermissions = cadence::port::kS_IREAD | cadence::port::kS_IWRITE;

  // How the file is reached. newFileOnly: the file is created, and the open
  // fails when anything already stands under the name (a file, a link, which
  // is not followed, a FIFO); trunc and app are then moot.
  enum class Creation { openOrCreate, newFileOnly };

  // The runtime's open flags for a standard open mode, or -1 for a
  // combination a standard file stream refuses (trunc with app).
  static int openFlagsFor(std::ios_base::openmode mode);

  // When the open fails the stream gets failbit and badbit, and output does
  // nothing.
  VelOfstream(const VelString& path, std::ios_base::openmode mode, Creation creation = Creation::openOrCreate);
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
