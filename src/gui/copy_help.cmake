# Copies the help pages beside the executable; a tree without them still builds.
if(EXISTS "${SOURCE}")
  file(COPY "${SOURCE}/" DESTINATION "${DESTINATION}")
endif()
