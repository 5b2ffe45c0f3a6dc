#pragma once

#include "LNGedcomSpecification.h"

#include <vector>

namespace kinloom::testing {

/// The structure check written the plain way: every alternative is matched
/// afresh, recursing once per line and once per rule item, and a rule item
/// naming a rule already being expanded for the same line does not fit.
/// Slow and only for shallow records; the validator must give the same marks
/// and results.
class ReferenceValidator {
  public:
    explicit ReferenceValidator(const LNGedcomSpecification& specification) : specification_(specification) {}

    void validateRecord(LNNode* root) const;
    bool validateList(LNNode* node, const LNNode* alternatives) const;
    bool validateNode(LNNode* node, const LNNode* alternatives) const;

  private:
    bool validateNode(LNNode* node, const LNNode* alternatives, std::vector<const LNNode*>& rulePath) const;
    static void setBads(LNNode* node);
    static void setBadChildren(LNNode* node);

    const LNGedcomSpecification& specification_;
};

} // namespace kinloom::testing
