// hints
