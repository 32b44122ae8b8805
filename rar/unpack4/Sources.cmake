# Source list of the RAR 1.5-4.x coders (shared by the reader library and by
# builds that test the coders on their own).
set(STAGEHOST_RAR4_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BitReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HuffmanTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Filters29.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PpmdAllocator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PpmdModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Unpack29.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Unpack20.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Unpack15.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Rar20Cipher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Rar4Decoders.cpp)
