# Layered form and shadow, image button, progress bar, notebooks, tray icon.
list(APPEND QARTO_CONTROLS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PictureDraw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SkinPictures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormSkinPlatform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdFormShadowBg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdFormSkin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdFormWndList.cpp
)
if(WIN32)
  list(APPEND QARTO_CONTROLS_SOURCES ${CMAKE_CURRENT_LIST_DIR}/FormSkinPlatform_win.cpp)
else()
  list(APPEND QARTO_CONTROLS_SOURCES ${CMAKE_CURRENT_LIST_DIR}/FormSkinPlatform_host.cpp)
endif()
