#pragma once

#include "framework/core/file_type.h"

#include <memory>

// The application's four file types, registered once at start-up and kept until shut-down.
namespace FileTypes {

extern std::unique_ptr<FileType> pText;
extern std::unique_ptr<FileType> pImageJpeg;
extern std::unique_ptr<FileType> pAll;
extern std::unique_ptr<FileType> pPref;

// Creates the four types in order and registers each with its final values.
void Initialize();

// Each releases its type, which withdraws the registration, and leaves the property empty.
void pText_Exit();
void pImageJpeg_Exit();
void pAll_Exit();
void pPref_Exit();

}
