#pragma once
// A file written whole or not at all: the bytes go to a hidden temporary
// file beside the final name, which is renamed into place only when every
// byte is written. A full disk, a file-size limit or a missing directory
// leaves the earlier file of that name, if any, as it was, and no temporary
// file behind.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

enum class Durability {
    renamed,  // the new content replaces the old at once; flushed when the system gets to it
    synced,   // on the disk, name and all, before the call returns
};

using ByteChunk = std::span<const std::uint8_t>;

// False, with the path and the reason in `failure`, when the file was not written.
bool replaceFile(const std::string& path, const std::vector<ByteChunk>& chunks, Durability durability,
                 std::string& failure);

// The temporary name used while `path` is being written by this process.
std::string temporaryNameFor(const std::string& path);

}  // namespace platform
