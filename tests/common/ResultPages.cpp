#include "tests/common/ResultPages.h"

namespace qbtest {

std::string TableRecord(std::string_view item, std::string_view title, std::string_view price,
                        std::string_view bids, bool picture) {
  std::string link = "<a href=\"viewitem.htm?ViewItem&amp;category=11700&amp;item=";
  link.append(item).append("&amp;rd=1\">");
  std::string row = "<tr><td><input type=\"checkbox\" name=\"watch\" value=\"";
  row.append(item).append("\"></td>\n");
  if (picture)
    row.append("<td>").append(link).append(
        "<img height=\"64\" width=\"64\" src=\"img/photo.svg\"></a></td>\n");
  row.append("<td>").append(link).append(title).append("</a></td>\n");
  row.append("<td><b>").append(price).append("</b></td>\n");
  row.append("<td align=\"center\" rowspan=\"1\">").append(bids).append("</td>\n");
  row.append("<td>Jun-14 18:22</td></tr>\n");
  return row;
}

std::string TablePage(std::string_view records) {
  std::string page =
      "<html><head><script>\nvar findSortArray = [\n\"price\",\"bids\"];\n</script></head>\n<body><table>\n";
  page.append(records).append("</table>\n<p>Copyright</p></body></html>\n");
  return page;
}

std::string ScriptRecord(std::string_view item, std::string_view title, std::string_view price,
                         std::string_view bids) {
  std::string record = "dSI(101,11800,1,1150300000,450,212,0,0,0,1,1,0,";
  record.append(bids).append(",3,").append(item).append(",\"").append(title);
  record.append("\",'thumbs/pen.svg','").append(price).append("','Jun-14 18:22');\n");
  return record;
}

std::string ScriptPage(std::string_view records) {
  std::string page =
      "<html><head><script>function dSI(a){}</script></head><body><script>\nvar salejs = [];\n";
  page.append(records).append("</script></body></html>\n");
  return page;
}

}  // namespace qbtest
