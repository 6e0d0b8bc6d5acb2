#include "render/PictureCache.h"

#include "platform/Codepage.h"
#include "render/Picture.h"

#include <algorithm>
#include <iterator>

CPictureCache::CPictureCache(int maxPictures, std::uint64_t maxBytes) : m_maxPictures(maxPictures), m_maxBytes(maxBytes)
{
}

CPictureCache::~CPictureCache() = default;

void CPictureCache::RemoveAll()
{
    m_pictures.clear();
    m_failures.clear();
    m_memory = 0;
}

CPicture* CPictureCache::Get(const std::string& fileName, bool* tooLarge)
{
    if (tooLarge)
        *tooLarge = false;
    for (auto it = m_pictures.begin(); it != m_pictures.end(); ++it)
        if (EqualsNoCase1257((*it)->GetFileName(), fileName)) {
            if (it != m_pictures.begin())
                m_pictures.splice(m_pictures.begin(), m_pictures, it);
            return m_pictures.front().get();
        }

    FileStamp stamp;
    const bool stamped = GetFileStamp(PicturePathToOpen(fileName), stamp);
    const auto failed = std::find_if(m_failures.begin(), m_failures.end(),
                                     [&](const Failure& f) { return EqualsNoCase1257(f.fileName, fileName); });
    if (failed != m_failures.end()) {
        if (stamped && failed->stamp == stamp) {
            if (tooLarge)
                *tooLarge = failed->tooLarge;
            return nullptr;
        }
        m_failures.erase(failed);
    }

    auto picture = std::make_unique<CPicture>();
    if (!picture->Load(fileName)) {
        if (tooLarge)
            *tooLarge = picture->WasTooLarge();
        // A file that is not there fails at no cost, and may come.
        if (stamped) {
            m_failures.push_front({fileName, stamp, picture->WasTooLarge()});
            if (m_failures.size() > kMaxFailures)
                m_failures.pop_back();
        }
        return nullptr;
    }
    m_memory += picture->GetMemorySize();
    m_pictures.push_front(std::move(picture));

    // From the least recently used towards the new picture, which stays.
    auto it = m_pictures.end();
    --it;
    while (it != m_pictures.begin() &&
           (static_cast<int>(m_pictures.size()) > m_maxPictures || m_memory > m_maxBytes)) {
        auto older = std::prev(it);
        if ((*it)->GetLockCount() == 0) {
            m_memory -= (*it)->GetMemorySize();
            m_pictures.erase(it);
        }
        it = older;
    }
    return m_pictures.front().get();
}

CPictureCache& SymbolPictureCache()
{
    static CPictureCache cache(kSymbolPictureCount, kSymbolPictureBytes);
    return cache;
}

CPictureCache& RasterPictureCache()
{
    static CPictureCache cache(kRasterPictureCount, kRasterPictureBytes);
    return cache;
}
