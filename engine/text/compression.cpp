#include "engine/text/compression.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zstd.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

#include "engine/common/file_descriptor.h"

namespace orvane::squeez {

namespace {

// Level 3 compresses a 100 MB index text in about two seconds on one core;
// level 4 makes it 2 % smaller in a third more time, levels 5 and 6 take
// three to four times as long for 2 to 4 %.
constexpr int kCompressionLevel = 3;

// The contexts and buffers of one compression or decompression.
struct Workspace {
  ZSTD_CCtx* cctx = nullptr;
  ZSTD_DCtx* dctx = nullptr;
  std::vector<char> in;
  std::vector<char> out;

  Workspace() = default;
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;
  ~Workspace() {
    ZSTD_freeCCtx(cctx);
    ZSTD_freeDCtx(dctx);
  }

  // False when memory runs short.
  bool Prepare() {
    try {
      std::size_t in_size =
          std::max(ZSTD_CStreamInSize(), ZSTD_DStreamInSize());
      std::size_t out_size =
          std::max(ZSTD_CStreamOutSize(), ZSTD_DStreamOutSize());
      in.resize(in_size);
      out.resize(out_size);
    } catch (const std::bad_alloc&) {
      return false;
    }
    if (cctx == nullptr) cctx = ZSTD_createCCtx();
    if (dctx == nullptr) dctx = ZSTD_createDCtx();
    return cctx != nullptr && dctx != nullptr;
  }
};

// The buffers of _alb, until _dalb.
Workspace* prepared = nullptr;

// The prepared workspace, or one for this call alone when the caller did not
// prepare one.
class WorkspaceLease {
 public:
  WorkspaceLease() {
    if (prepared != nullptr) {
      workspace_ = prepared;
    } else {
      owned_ = new (std::nothrow) Workspace;
      if (owned_ != nullptr && !owned_->Prepare()) {
        delete owned_;
        owned_ = nullptr;
      }
      workspace_ = owned_;
    }
  }
  ~WorkspaceLease() { delete owned_; }
  WorkspaceLease(const WorkspaceLease&) = delete;
  WorkspaceLease& operator=(const WorkspaceLease&) = delete;
  Workspace* get() const { return workspace_; }

 private:
  Workspace* workspace_ = nullptr;
  Workspace* owned_ = nullptr;
};

// Removes the file it names when the operation ends without Keep().
class RemoveUnlessKept {
 public:
  explicit RemoveUnlessKept(const std::string& path) : path_(path) {}
  ~RemoveUnlessKept() {
    if (!kept_) ::unlink(path_.c_str());
  }
  RemoveUnlessKept(const RemoveUnlessKept&) = delete;
  RemoveUnlessKept& operator=(const RemoveUnlessKept&) = delete;
  void Keep() { kept_ = true; }

 private:
  const std::string& path_;
  bool kept_ = false;
};

// Opens the source of a conversion: a regular file (never a pipe, which
// could block the program), read-only.
int OpenSource(const std::string& path, struct stat* st) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Creates the destination of a conversion afresh: a file already there is
// removed first (a read-only one as well, and a link is never written
// through). Refuses the source itself, which would be lost before it was
// read. With keep_mode the new file gets the source's permissions, as it
// is to take the source's place.
int OpenDestination(const std::string& path, const struct stat& source,
                    bool keep_mode) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0) {
    if (st.st_dev == source.st_dev && st.st_ino == source.st_ino) return -1;
    if (!S_ISDIR(st.st_mode)) ::unlink(path.c_str());
  }
  mode_t mode = keep_mode ? (source.st_mode & 0666) : 0666;
  return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}

// Makes a rename into the folder of path durable.
void SyncFolderOf(const std::string& path) {
  std::string::size_type slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "."
                       : slash == 0               ? "/"
                                                  : path.substr(0, slash);
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

std::int32_t Compress(Workspace& ws, int source_fd, const struct stat& source,
                      int dest_fd) {
  ZSTD_CCtx* cctx = ws.cctx;
  ZSTD_CCtx_reset(cctx, ZSTD_reset_session_and_parameters);
  ZSTD_CCtx_setParameter(cctx, ZSTD_c_compressionLevel, kCompressionLevel);
  ZSTD_CCtx_setParameter(cctx, ZSTD_c_checksumFlag, 1);
  // The frame records the plain length, which the decompression checks.
  ZSTD_CCtx_setPledgedSrcSize(cctx,
                              static_cast<unsigned long long>(source.st_size));
  bool finished = false;
  while (!finished) {
    ssize_t got = ReadFully(source_fd, ws.in.data(), ws.in.size());
    if (got < 0) return kSourceUnreadable;
    bool last = static_cast<std::size_t>(got) < ws.in.size();
    ZSTD_EndDirective mode = last ? ZSTD_e_end : ZSTD_e_continue;
    ZSTD_inBuffer input = {ws.in.data(), static_cast<std::size_t>(got), 0};
    bool done;
    do {
      ZSTD_outBuffer output = {ws.out.data(), ws.out.size(), 0};
      std::size_t remaining = ZSTD_compressStream2(cctx, &output, &input, mode);
      // The only error the prepared parameters leave is a source whose
      // length changed while it was read.
      if (ZSTD_isError(remaining)) return kSourceUnreadable;
      if (!WriteFully(dest_fd, ws.out.data(), output.pos)) {
        return kDestinationUnwritable;
      }
      done = last ? remaining == 0 : input.pos == input.size;
    } while (!done);
    finished = last;
  }
  return 0;
}

// Feeds one block of compressed input to the decoder and writes what it
// gives. *frame_done is set once the frame has ended, checksum verified;
// input after that is not part of a compressed index.
std::int32_t DecompressBlock(Workspace& ws, ZSTD_inBuffer* input, int dest_fd,
                             bool* frame_done) {
  bool output_full;
  do {
    if (*frame_done) return kNotCompressedIndex;
    ZSTD_outBuffer output = {ws.out.data(), ws.out.size(), 0};
    std::size_t hint = ZSTD_decompressStream(ws.dctx, &output, input);
    if (ZSTD_isError(hint)) return kNotCompressedIndex;
    if (!WriteFully(dest_fd, ws.out.data(), output.pos)) {
      return kDestinationUnwritable;
    }
    if (hint == 0) *frame_done = true;
    output_full = output.pos == output.size;
  } while (input->pos < input->size || (output_full && !*frame_done));
  return 0;
}

std::int32_t Decompress(Workspace& ws, int source_fd, int dest_fd) {
  ZSTD_DCtx_reset(ws.dctx, ZSTD_reset_session_and_parameters);
  bool first = true;
  bool frame_done = false;
  for (;;) {
    ssize_t got = ReadFully(source_fd, ws.in.data(), ws.in.size());
    if (got < 0) return kSourceUnreadable;
    if (got == 0) break;
    if (first) {
      // A compressed index is one zstd frame that carries a checksum, so
      // that any damage is found: the frame's magic number, then a
      // descriptor whose bit 2 is the checksum flag.
      const auto* bytes = reinterpret_cast<const unsigned char*>(ws.in.data());
      if (got < 5 || bytes[0] != 0x28 || bytes[1] != 0xB5 || bytes[2] != 0x2F ||
          bytes[3] != 0xFD || (bytes[4] & 0x04) == 0) {
        return kNotCompressedIndex;
      }
      first = false;
    }
    ZSTD_inBuffer input = {ws.in.data(), static_cast<std::size_t>(got), 0};
    std::int32_t result = DecompressBlock(ws, &input, dest_fd, &frame_done);
    if (result < 0) return result;
  }
  if (!frame_done) {
    // Output the decoder still holds, then the frame must be complete; a
    // truncated file ends inside it.
    ZSTD_inBuffer input = {ws.in.data(), 0, 0};
    std::int32_t result = DecompressBlock(ws, &input, dest_fd, &frame_done);
    if (result < 0) return result;
  }
  return frame_done ? 0 : kNotCompressedIndex;
}

// Converts source into destination with convert, then, with replace, renames
// destination over source. On failure the destination is removed and the
// source is left as it was.
template <class Convert>
std::int32_t ConvertFile(const std::string& source,
                         const std::string& destination, bool replace,
                         bool sync, Convert convert) {
  WorkspaceLease lease;
  if (lease.get() == nullptr) return kDestinationUnwritable;
  struct stat source_stat;
  FileDescriptor source_fd(OpenSource(source, &source_stat));
  if (!source_fd.ok()) return kSourceUnreadable;
  FileDescriptor dest_fd(OpenDestination(destination, source_stat, replace));
  if (!dest_fd.ok()) return kDestinationUnwritable;
  RemoveUnlessKept cleanup(destination);
  std::int32_t result =
      convert(*lease.get(), source_fd.get(), source_stat, dest_fd.get());
  if (result < 0) return result;
  if (sync && ::fsync(dest_fd.get()) != 0) return kDestinationUnwritable;
  if (!dest_fd.Close()) return kDestinationUnwritable;
  source_fd.Close();
  if (replace) {
    if (std::rename(destination.c_str(), source.c_str()) != 0) {
      return kDestinationUnwritable;
    }
    SyncFolderOf(source);
  }
  cleanup.Keep();
  return 0;
}

}  // namespace

std::int32_t _alb() {
  if (prepared != nullptr) return 1;
  auto* workspace = new (std::nothrow) Workspace;
  if (workspace == nullptr) return 0;
  if (!workspace->Prepare()) {
    delete workspace;
    return 0;
  }
  prepared = workspace;
  return 1;
}

void _dalb() {
  delete prepared;
  prepared = nullptr;
}

std::int32_t _cf(const std::string& source, const std::string& destination,
                 bool replace) {
  // The compressed file reaches the disk before it replaces the plain one,
  // so that a crash leaves one of the two whole.
  return ConvertFile(source, destination, replace, /*sync=*/true,
                     [](Workspace& ws, int in, const struct stat& st, int out) {
                       return Compress(ws, in, st, out);
                     });
}

std::int32_t _dcf(const std::string& source, const std::string& destination,
                  bool replace) {
  return ConvertFile(source, destination, replace, /*sync=*/replace,
                     [](Workspace& ws, int in, const struct stat&, int out) {
                       return Decompress(ws, in, out);
                     });
}

}  // namespace orvane::squeez
