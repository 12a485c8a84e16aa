qt_add_resources(qb_controls "qb_controls_resources"
  PREFIX "/controls"
  BASE ${CMAKE_SOURCE_DIR}/resources/controls
  FILES
    ${CMAKE_SOURCE_DIR}/resources/controls/exclamation.svg
    ${CMAKE_SOURCE_DIR}/resources/controls/information.svg
    ${CMAKE_SOURCE_DIR}/resources/controls/stop.svg
    ${CMAKE_SOURCE_DIR}/resources/controls/question.svg)
