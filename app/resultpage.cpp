// resultpage
