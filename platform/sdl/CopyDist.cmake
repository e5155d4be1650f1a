# cmake -DDIST=<dist folder> -DOUT=<program folder> -P CopyDist.cmake
# Brings the program folder's skins/ and config.sn up to date with dist/.
if(NOT IS_DIRECTORY "${DIST}/skins")
  message(FATAL_ERROR "No skins folder in ${DIST}")
endif()
if(NOT EXISTS "${DIST}/config.sn")
  message(FATAL_ERROR "No config.sn in ${DIST}")
endif()
file(MAKE_DIRECTORY "${OUT}")
# file(COPY) skips files whose copy already has the same time stamp.
file(COPY "${DIST}/skins" DESTINATION "${OUT}")
set(stamp "${OUT}/../snickit-config.stamp")
if(NOT EXISTS "${OUT}/config.sn" OR "${DIST}/config.sn" IS_NEWER_THAN "${stamp}")
  file(COPY "${DIST}/config.sn" DESTINATION "${OUT}")
  file(TOUCH "${stamp}")
endif()
