// A label whose text the user can select (the chooser's code line) is read
// as text by a screen reader, not only by its name: Qt gives a label a name
// and no text interface, so "EPSG:32633" itself went unread.
#pragma once

// Installs the accessibility factory that does it; once a process, before
// any dialog is shown.
void InstallSelectableLabelAccessible();
