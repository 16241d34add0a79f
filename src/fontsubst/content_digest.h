// What a file held when it was read, to tell later whether another program has changed it since.
#ifndef MOJIFIX_FONTSUBST_CONTENT_DIGEST_H
#define MOJIFIX_FONTSUBST_CONTENT_DIGEST_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace mojifix {

// The size and a 64-bit FNV-1a hash of the bytes. The writers it guards against are ordinary
// programs, not ones crafting collisions, and a change of any size or time granularity shows.
struct ContentDigest {
  std::uint64_t size = 0;
  std::uint64_t hash = 0xcbf29ce484222325;

  void add(const char* data, std::size_t count);
  bool operator==(const ContentDigest& other) const {
    return size == other.size && hash == other.hash;
  }
};

// `file`, adding every byte read from it to `digest`.
std::unique_ptr<File> digesting(std::unique_ptr<File> file, ContentDigest& digest);

// Whether the file at `path` still holds exactly what `digest` was taken of; false when it cannot
// be read.
bool stillHolds(Platform& platform, const std::string& path, const ContentDigest& digest);

}  // namespace mojifix

#endif
