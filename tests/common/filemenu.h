// The File menu's items in their order, checked against the texts that one
// language shows for them.
#ifndef FILEMENU_H
#define FILEMENU_H

#include <gtest/gtest.h>

#include <windows.h>

#include "resource.h"
#include "uitest.h"

#include <string>
#include <vector>

namespace filemenu {

// texts: New, Open, Save, Save As, Delete and Exit, as the menu should show them.
inline void Expect(HMENU menu, const std::vector<std::wstring> &texts)
{
    const UINT commands[] = {IDM_NEW, IDM_OPEN, IDM_SAVE, IDM_SAVEAS, IDM_DELETE, IDM_EXIT};
    ASSERT_EQ(texts.size(), std::size(commands));
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(uitest::MenuText(menu, commands[i]), texts[i]) << "command " << commands[i];
}

} // namespace filemenu

#endif // FILEMENU_H
