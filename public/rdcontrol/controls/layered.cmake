# Layered form and shadow, image button, progress bar, notebooks, tray icon.
list(APPEND QARTO_CONTROLS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/PictureDraw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SkinPictures.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FormSkinPlatform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdFormShadowBg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdFormSkin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdFormWndList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdImageButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdImageButtonPaint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TaskbarList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdProgressBar.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PageNote.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureCollection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LabelNote.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Icon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TrayHost.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CCTrayIcon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RdBalloonHint.cpp
)
# The platform side: Win32 windows, shell and taskbar on Windows; on the host
# windowless stand-ins (tests install fakes).
foreach(seam FormSkinPlatform TaskbarList TrayHost)
  if(WIN32)
    list(APPEND QARTO_CONTROLS_SOURCES ${CMAKE_CURRENT_LIST_DIR}/${seam}_win.cpp)
  else()
    list(APPEND QARTO_CONTROLS_SOURCES ${CMAKE_CURRENT_LIST_DIR}/${seam}_host.cpp)
  endif()
endforeach()
