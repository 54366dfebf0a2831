# Read by cpack. A package is made only from a build whose programs cannot reach back into the source tree.
if(CPACK_CORVATIN_SOURCE_TREE_DATA)
  message(FATAL_ERROR "This is a developer build (CORVATIN_SOURCE_TREE_DATA=ON): run `make package`, "
                      "which builds the package without the source-tree data fallback.")
endif()
