// The program's file types, made at start-up and withdrawn at its end.
#include "strings/file_types.h"

namespace FileTypes {

std::unique_ptr<FileType> pText;
std::unique_ptr<FileType> pImageJpeg;
std::unique_ptr<FileType> pAll;
std::unique_ptr<FileType> pPref;

namespace {

// All four fields are set before the conversion to text, so the type is registered once, with
// its final values.
void make(std::unique_ptr<FileType>& property, const String& name, const String& extensions,
    const String& macType, const String& macCreator)
{
    property = std::make_unique<FileType>();
    property->Name(name);
    property->Extensions(extensions);
    property->MacType(macType);
    property->MacCreator(macCreator);
    property->ToString();
}

} // namespace

void Initialize()
{
    make(pText, "text", "", "TEXT", "R*ch");
    make(pImageJpeg, "image/jpeg", ".jfif;.jpe;.jpeg;.jpg", "JPEG", "prvw");
    make(pAll, "all", "", "????", "????");
    make(pPref, "pref", "", "pref", "Qbly");
}

void pText_Exit() { pText.reset(); }
void pImageJpeg_Exit() { pImageJpeg.reset(); }
void pAll_Exit() { pAll.reset(); }
void pPref_Exit() { pPref.reset(); }

} // namespace FileTypes
