file(GLOB research_pictures CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/research/*.svg)
qt_add_resources(qb_research "research_pictures" PREFIX "/research" BASE ${CMAKE_SOURCE_DIR}/resources/research
                 FILES ${research_pictures})
