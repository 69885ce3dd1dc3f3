// textdocument
