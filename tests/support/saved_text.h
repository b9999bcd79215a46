// Text that tests read back as bytes: a file's content and the clipboard's CF_TEXT.
#ifndef KORVEL_SAVED_TEXT_H
#define KORVEL_SAVED_TEXT_H

#include <string>

std::string FileText(const char* name);  // "<missing>" when it cannot be opened
std::string ClipboardText(void);         // "<busy>" when not opened, "<none>" without text

#endif
