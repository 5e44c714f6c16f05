# HTML label, combo box with its list window and scroll bars, skinned edit, stretch
# image. Portable apart from the message hook's reading of platform messages.
list(APPEND QARTO_CONTROLS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/HtmlMarkup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HtmlLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdLabel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdHtmLabel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ScrollBarGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdScrollBarEx.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdScrollBar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ComboGeometry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdComboBoxList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdComboboxListForm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdComboBoxPanel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdComboBox.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EditState.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdFontLink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdEdit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdStretchImage.cpp)
if(WIN32)
  list(APPEND QARTO_CONTROLS_SOURCES ${CMAKE_CURRENT_LIST_DIR}/ComboHook_win.cpp)
else()
  list(APPEND QARTO_CONTROLS_SOURCES ${CMAKE_CURRENT_LIST_DIR}/ComboHook_host.cpp)
endif()
