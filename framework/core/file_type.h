#pragma once

#include "framework/core/text.h"

#include <vector>

// A kind of file known to the application. Converting it to text registers it (once); changing a
// field of a registered type withdraws its registration; destroying it withdraws it too.
class FileType final {
public:
    FileType() = default;
    ~FileType();
    FileType(const FileType&) = delete;
    FileType& operator=(const FileType&) = delete;

    String Name() const { return m_name; }
    void Name(const String& value);
    // Leading dots, separated by ";": ".jpg;.jpeg".
    String Extensions() const { return m_extensions; }
    void Extensions(const String& value);
    String MacType() const { return m_macType; }
    void MacType(const String& value);
    String MacCreator() const { return m_macCreator; }
    void MacCreator(const String& value);

    // Registers the type unless it is registered already, and gives its name.
    String ToString();
    void Register();
    void Deregister();
    bool IsRegistered() const { return m_registered; }

private:
    String m_name, m_extensions, m_macType, m_macCreator;
    bool m_registered { false };
};

// The in-process registry, open to inspection.
struct FileTypeRegistration {
    String name, extensions, macType, macCreator;
};

namespace FileTypeRegistry {
// The registrations in force, in the order they were made.
std::vector<FileTypeRegistration> Registered();
// Names of the types withdrawn so far, in order.
std::vector<String> WithdrawalLog();
// Names compare as the framework's texts do (ASCII letters without regard to case).
bool IsRegistered(const String& name);
void ResetForTesting();
}
