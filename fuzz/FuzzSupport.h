// What the fuzz targets share: a module folder with the bundled data, the
// offscreen Qt application, prompts answered without a user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A temporary folder removed at exit.
const std::string& ScratchFolder();

// Makes the QApplication (offscreen) and a module folder holding the built
// resource library and bundled data; answers every prompt.
void SetUpChooserWorld();

class CProjectionDlg;
struct ChoiceCatalogues;

// A chooser shown on the offscreen platform in the world above, in English
// (the same one for many inputs).
CProjectionDlg& FuzzChooser();
// The chooser's catalogues in that world, loaded once.
const ChoiceCatalogues& FuzzCatalogues();

std::string AsText(const uint8_t* data, std::size_t size);
void WriteBytes(const std::string& path, const std::string& bytes);

// Aborts with `what` when `condition` fails: a finding for the fuzzer.
void Require(bool condition, const char* what);
