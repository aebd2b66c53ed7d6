#pragma once

#include <string>
#include <vector>

namespace m797::cli {

// The two fault lists as the fault page shows them: each caption, then its lines.
std::string CodesText(const std::vector<std::string>& current,
                      const std::vector<std::string>& stored);

// The same as JSON: {"current": [{"code": "0102", "text": "..."}], "stored": [...]}.
std::string CodesJson(const std::vector<std::string>& current,
                      const std::vector<std::string>& stored);

}  // namespace m797::cli
