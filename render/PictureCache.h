#pragma once

#include "platform/Path.h"

#include <cstdint>
#include <list>
#include <memory>
#include <string>

class CPicture;

// Decoded pictures shared by file name (any letter case), the most
// recently used first, under a limit on their number and on the memory of
// their pixels. Loading a picture evicts the least recently used unlocked
// ones until both limits hold again; the new picture always stays, even
// when it alone passes a limit, and so do locked ones. A file that fails
// to load is not loaded again until it changes (size or modification
// time): a hostile picture costs its time once, not at every drawing.
class CPictureCache {
public:
    CPictureCache(int maxPictures, std::uint64_t maxBytes);
    ~CPictureCache();
    CPictureCache(const CPictureCache&) = delete;
    CPictureCache& operator=(const CPictureCache&) = delete;

    // The picture of the file, loaded when not cached; null when it does
    // not load, and then *tooLarge, when given, tells whether it was
    // refused for its size (CXIMAGE_MAX_MEMORY). Valid until the next Get
    // unless locked.
    CPicture* Get(const std::string& fileName, bool* tooLarge = nullptr);
    // Deletes every picture, locked or not, and forgets the failures.
    void RemoveAll();

    int GetCount() const { return static_cast<int>(m_pictures.size()); }
    std::uint64_t GetMemoryTotal() const { return m_memory; }
    int GetMaxCount() const { return m_maxPictures; }
    std::uint64_t GetMaxBytes() const { return m_maxBytes; }

private:
    struct Failure {
        std::string fileName;
        FileStamp stamp;
        bool tooLarge = false;
    };
    // The failures remembered, the most recent first.
    static constexpr std::size_t kMaxFailures = 32;

    int m_maxPictures;
    std::uint64_t m_maxBytes;
    std::uint64_t m_memory = 0;
    std::list<std::unique_ptr<CPicture>> m_pictures; // the most recently used first
    std::list<Failure> m_failures;
};

// The two caches of the program: pictures of point symbols (16 pictures,
// 20 MiB) and pictures of raster layers (10 pictures, 8 MiB).
inline constexpr int kSymbolPictureCount = 16;
inline constexpr std::uint64_t kSymbolPictureBytes = 20 * 1024 * 1024;
inline constexpr int kRasterPictureCount = 10;
inline constexpr std::uint64_t kRasterPictureBytes = 8 * 1024 * 1024;
CPictureCache& SymbolPictureCache();
CPictureCache& RasterPictureCache();
