#include "catalog/CodeLookup.h"

#include <chrono>
#include <memory>
#include <type_traits>

#include "catalog/Identification.h"
#include "module/GdalSupport.h"
#include "util/Beside.h"

namespace {

std::string ExactEpsgCodeOf(const std::string& wkt)
{
    const OsrHandle srs = NewSpatialReference(wkt);
    return srs ? ExactEpsgCode(srs.get()) : std::string();
}

}  // namespace

void CodeLookup::Remember(const std::string& wkt, const std::string& code)
{
    m_codes[wkt] = code;
}

void CodeLookup::KeepFinished()
{
    if (m_search.valid())
        m_codes[m_searching] = m_search.get();
}

std::optional<std::string> CodeLookup::CodeIfFound(const std::string& wkt, OGRSpatialReferenceH read)
{
    const auto known = m_codes.find(wkt);
    if (known != m_codes.end())
        return known->second;
    if (m_search.valid()) {
        // Still running; a search deferred for want of a thread runs now.
        if (m_search.wait_for(std::chrono::seconds(0)) == std::future_status::timeout)
            return std::nullopt;
        KeepFinished();
        return CodeIfFound(wkt, read);
    }
    m_searching = wkt;
    using Copy = std::shared_ptr<std::remove_pointer_t<OGRSpatialReferenceH>>;
    const Copy copy = read ? Copy(OSRClone(read), OSRRelease) : nullptr;
    m_search = Beside([wkt, copy] { return copy ? ExactEpsgCode(copy.get()) : ExactEpsgCodeOf(wkt); });
    return std::nullopt;
}

std::string CodeLookup::CodeOf(const std::string& wkt)
{
    const auto known = m_codes.find(wkt);
    if (known != m_codes.end())
        return known->second;
    if (m_search.valid() && m_searching == wkt) {
        KeepFinished();
        return m_codes[wkt];
    }
    return m_codes[wkt] = ExactEpsgCodeOf(wkt);
}
