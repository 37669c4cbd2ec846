// File types registered by name, and withdrawn when the type goes.
#include "framework/core/file_type.h"

#include <algorithm>

namespace {

struct Entry {
    const FileType* owner;
    FileTypeRegistration registration;
};

struct Registry {
    std::vector<Entry> entries;
    std::vector<String> withdrawals;
};

// Never destroyed: file types held by other static objects withdraw themselves at exit.
Registry& registry()
{
    static auto* instance = new Registry;
    return *instance;
}

} // namespace

FileType::~FileType()
{
    Deregister();
}

void FileType::Name(const String& value)
{
    Deregister();
    m_name = value;
}

void FileType::Extensions(const String& value)
{
    Deregister();
    m_extensions = value;
}

void FileType::MacType(const String& value)
{
    Deregister();
    m_macType = value;
}

void FileType::MacCreator(const String& value)
{
    Deregister();
    m_macCreator = value;
}

String FileType::ToString()
{
    Register();
    return m_name;
}

void FileType::Register()
{
    if (m_registered)
        return;
    registry().entries.push_back({ this, { m_name, m_extensions, m_macType, m_macCreator } });
    m_registered = true;
}

void FileType::Deregister()
{
    if (!m_registered)
        return;
    m_registered = false;
    auto& entries = registry().entries;
    const auto found = std::find_if(entries.begin(), entries.end(), [this](const Entry& e) { return e.owner == this; });
    if (found == entries.end())
        return; // the registry was cleared under it
    registry().withdrawals.push_back(found->registration.name);
    entries.erase(found);
}

namespace FileTypeRegistry {

std::vector<FileTypeRegistration> Registered()
{
    std::vector<FileTypeRegistration> result;
    for (const auto& entry : registry().entries)
        result.push_back(entry.registration);
    return result;
}

std::vector<String> WithdrawalLog()
{
    return registry().withdrawals;
}

bool IsRegistered(const String& name)
{
    const auto& entries = registry().entries;
    return std::any_of(entries.begin(), entries.end(), [&](const Entry& e) { return TextEquals(e.registration.name, name); });
}

void ResetForTesting()
{
    registry().entries.clear();
    registry().withdrawals.clear();
}

} // namespace FileTypeRegistry
