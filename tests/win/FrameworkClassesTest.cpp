// Every framework header in one translation unit, and every framework class
// registered under a name of its own: two classes of one name would make a
// stream create the wrong one.
#include <gtest/gtest.h>

#include "framework/Buttons.h"
#include "framework/Classes.h"
#include "framework/CommonControls.h"
#include "framework/Controls.h"
#include "framework/CoolBar.h"
#include "framework/CustomDraw.h"
#include "framework/DateTime.h"
#include "framework/DateTimePicker.h"
#include "framework/Dialogs.h"
#include "framework/Events.h"
#include "framework/ExtCtrls.h"
#include "framework/ExtStdCtrls.h"
#include "framework/Forms.h"
#include "framework/Graphics.h"
#include "framework/Grids.h"
#include "framework/ImgList.h"
#include "framework/ListControls.h"
#include "framework/ListView.h"
#include "framework/Mask.h"
#include "framework/Menus.h"
#include "framework/Messages.h"
#include "framework/ObjectModel.h"
#include "framework/RangeControls.h"
#include "framework/StatusBar.h"
#include "framework/StdCtrls.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "framework/TabControls.h"
#include "framework/ToolBar.h"
#include "framework/TreeView.h"
#include "framework/Win32.h"
#include "framework/Win32Handles.h"

using namespace nuvskin;

TEST(FrameworkClasses, EveryClassNameIsRegisteredOnce) {
  EXPECT_TRUE(ClassNameConflicts().empty()) << (ClassNameConflicts().empty() ? "" : ClassNameConflicts()[0]);
  for (const TClass* cls : {&TListItems::StaticClass(), &TListControlItems::StaticClass(), &TForm::StaticClass(),
                             &TMessageForm::StaticClass(), &TToolBar::StaticClass(), &TStringGrid::StaticClass()})
    EXPECT_EQ(FindClass(cls->Name()), cls) << cls->Name();
}
