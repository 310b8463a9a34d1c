#pragma once

// The ways of moving bytes that CopyFileStream chooses from; public so tests and benchmarks reach them.

#include <cstddef>
#include <cstdint>
#include <string>

enum class CopyMethod {
    Blocks,      // read and write in blocks of blockSize bytes
    KernelCopy,  // copy_file_range, falling back to Blocks where the kernel cannot
};

inline constexpr std::size_t DefaultCopyBlock = 1 << 20;

void CopyFileWith(const std::string& source, const std::string& target, CopyMethod method,
                  std::size_t blockSize = DefaultCopyBlock);

// Copies exactly size bytes between open descriptors; a source that ends early is a read error.
void CopyBytes(int sourceFd, int targetFd, std::int64_t size, CopyMethod method, std::size_t blockSize,
               const std::string& source, const std::string& target);
