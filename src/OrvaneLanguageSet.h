// The languages of the user interface: the host's word for them, and the
// module's. Apart from Orvane.h so that the module, below the exported
// class, can name them without reaching up to it.
#ifndef ORVANE_LANGUAGE_SET_H
#define ORVANE_LANGUAGE_SET_H

// Any value other than the first two behaves as English.
enum LanguageSet : int {
    LANGUAGE_SIMPLIFIED_CHINESE = 0,
    LANGUAGE_TRADITIONAL_CHINESE = 1,
    LANGUAGE_ENGLISH = 2,
};

#endif
